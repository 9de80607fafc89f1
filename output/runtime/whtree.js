// Contents tree viewer over ContentItems: var contree = new MakeTree(ContentItems, false);
// Entries are [title, address or null, icon number, children...]. Nodes are numbered in tree
// order, so a node's number is the index of its address in ContentFiles.

// True when the page cannot be changed after loading: the tree is then written fully open.
var n = false;
var trees = [];

var licons = {
    target: "content",
    ic_e: "whfiles/wh_0.gif",
    ic_l: "whfiles/wh_1.gif",
    ic_2: "whfiles/wh_2.gif",
    ic_3: "whfiles/wh_3.gif",
    ic_4: "whfiles/wh_4.gif",
    ic_18: "whfiles/wh_5.gif",
    ic_19: "whfiles/wh_6.gif",
    ic_20: "whfiles/wh_7.gif",
    ic_26: "whfiles/wh_8.gif",
    ic_27: "whfiles/wh_9.gif",
    ic_28: "whfiles/wh_10.gif"
};

function DHTMLSupported() {
    try {
        var body = document.body;
        return !!(body && typeof body.innerHTML == "string" && body.innerHTML.length > 0);
    } catch (e) {
        return false;
    }
}

// Titles and addresses are plain text: markup in them must show, not act.
function WhHtmlText(s) {
    return String(s).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
}

function WhHtmlAttr(s) {
    return WhHtmlText(s).replace(/"/g, "&quot;");
}

// The node's named images, looked up beside its text link: a name lookup over the whole
// document is slow in a large tree.
function WhNodeImage(id, prefix) {
    var text = document.getElementById("i_txt" + id);
    if (!text || !text.parentNode)
        return null;
    var images = text.parentNode.getElementsByTagName("img");
    for (var i = 0; i < images.length; i++) {
        if (images[i].getAttribute("name") == prefix + id)
            return images[i];
    }
    return null;
}

function MakeTree(itm, ac) {
    n = !DHTMLSupported();
    this.l = itm || [];
    this.q = [];
    this.m = null;
    this.d = [];
    this.n_depth = -1;
    this.n_id = trees.length;

    var preload = [licons.ic_e, licons.ic_l];
    for (var i = 0; i < 64; i++) {
        if (licons["ic_" + i])
            preload.push(licons["ic_" + i]);
    }
    this.images = [];
    for (var p = 0; p < preload.length; p++) {
        var img = new Image();
        img.src = preload[p];
        this.images.push(img);
    }

    for (var t = 0; t < this.l.length; t++) {
        if (Array.isArray(this.l[t]))
            new TreeNode(this, this, this.l[t], this.d.length);
    }
    trees[this.n_id] = this;

    if (n) {
        for (var s = 0; s < this.d.length; s++) {
            document.write(this.d[s].init());
            this.d[s].open(false);
        }
    } else {
        var parts = [];
        for (var k = 0; k < this.d.length; k++)
            parts.push(this.d[k].init());
        document.write(parts.join(""));
        if (ac) {
            for (var o = 0; o < this.d.length; o++)
                this.d[o].open(false);
        }
    }
    if (typeof WhRegisterTree == "function")
        WhRegisterTree(this);
}

MakeTree.prototype.select = function (n_id) {
    var node = this.q[n_id];
    if (!node)
        return false;
    var files = typeof ContentFiles != "undefined" && ContentFiles ? ContentFiles : null;
    var address = files && n_id < files.length ? files[n_id] : node.l[1];
    if (address != null && address !== "" && typeof WhSetShared == "function")
        WhSetShared("pageid", address);
    return node.select(false);
};

MakeTree.prototype.toggle = function (n_id) {
    var node = this.q[n_id];
    if (node)
        node.open(node.o);
};

MakeTree.prototype.OpenDownTo = function (node) {
    var chain = [];
    for (var p = node.k; p && p !== this; p = p.k)
        chain.unshift(p);
    for (var i = 0; i < chain.length; i++) {
        if (!chain[i].o)
            chain[i].open(false);
    }
};

MakeTree.prototype.OpenTreeNode = function (filename) {
    if (this.m && this.m.l[1] == filename)
        return;
    if (filename == null || filename === "")
        return;
    var want = String(filename).toLowerCase();
    var found = null;
    for (var i = 0; i < this.q.length; i++) {
        var address = this.q[i].l[1];
        if (address && String(address).toLowerCase() == want) {
            this.OpenDownTo(this.q[i]);
            this.q[i].select(false);
            found = this.q[i];
        }
    }
    if (found)
        found.show();
};

MakeTree.prototype.dOpenTreeNode = function (id) {
    if (this.m && this.m.n_id == id)
        return;
    var node = this.q[id];
    if (!node)
        return -1;
    this.OpenDownTo(node);
    node.select(false);
    node.show();
    return id;
};

function TreeNode(tree, parent, entry, order) {
    this.n_depth = parent.n_depth + 1;
    this.l = entry;
    this.g = tree;
    this.k = parent;
    this.n_order = order;
    this.o = false;
    this.made = false;
    this.n_id = tree.q.length;
    this.d = [];
    tree.q[this.n_id] = this;
    parent.d[order] = this;
    for (var i = 3; i < entry.length; i++) {
        if (Array.isArray(entry[i]))
            new TreeNode(tree, this, entry[i], this.d.length);
    }
}

TreeNode.prototype.isLast = function () {
    return this.n_order == this.k.d.length - 1;
};

TreeNode.prototype.GetIcon = function () {
    var num = parseInt(this.l[2], 10);
    if (isNaN(num))
        num = 11;
    if (num >= 1 && num <= 8) {
        var closed = num % 2 == 1 ? num : num - 1;
        num = this.o ? closed + 1 : closed;
    }
    return "whfiles/" + num + ".gif";
};

TreeNode.prototype.GetJunction = function () {
    var v = 2;
    var kids = this.d.length > 0;
    var last = this.isLast();
    if (kids)
        v += 16;
    if (kids && this.o)
        v += 8;
    if (last)
        v += 1;
    if (this.k === this.g && this.n_order == 0 && !last)
        v += 2;
    return licons["ic_" + v];
};

TreeNode.prototype.init = function () {
    var tree = this.g.n_id;
    var id = this.n_id;
    var kids = this.d.length > 0;
    var chain = [];
    for (var p = this.k; p !== this.g; p = p.k)
        chain.unshift(p);
    var html = '<a name="i_txt' + id + '"></a>'
        + '<table cellpadding="0" cellspacing="0" border="0"><tr><td nowrap>';
    for (var i = 0; i < chain.length; i++) {
        html += '<img src="' + (chain[i].isLast() ? licons.ic_e : licons.ic_l)
            + '" border="0" align="absbottom">';
    }
    var junction = '<img src="' + this.GetJunction() + '" border="0" align="absbottom"'
        + (kids ? ' name="j_img' + id + '"' : '') + '>';
    if (kids && !n)
        junction = '<a href="javascript:void(trees[' + tree + '].toggle(' + id + '))">' + junction + '</a>';
    html += junction;
    var address = this.l[1];
    html += '<a href="' + (address ? WhHtmlAttr(address) : "javascript:void(0)") + '" target="'
        + licons.target + '" onclick="return trees[' + tree + '].select(' + id + ')"'
        + (n ? '' : ' ondblclick="trees[' + tree + '].toggle(' + id + ')"')
        + ' class="t0i" id="i_txt' + id + '">'
        + '<img src="' + this.GetIcon() + '" name="i_img' + id + '" class="t0im" border="0" align="absbottom">'
        + '&nbsp;' + WhHtmlText(this.l[0] == null ? "" : this.l[0]) + '</a>';
    html += '</td></tr></table>';
    if (kids)
        html += '<div id="divtree' + id + '" style="display:none"></div>';
    return html;
};

TreeNode.prototype.open = function (z) {
    var div = document.getElementById("divtree" + this.n_id);
    if (!div)
        return;
    if (n) {
        // Static mode: written once, during page load, and never closed.
        if (z || this.o)
            return;
        this.o = true;
        for (var s = 0; s < this.d.length; s++) {
            document.write(this.d[s].init());
            this.d[s].open(false);
        }
        return;
    }
    if (!z && !this.made) {
        var parts = [];
        for (var i = 0; i < this.d.length; i++)
            parts.push(this.d[i].init());
        div.innerHTML = parts.join("");
        this.made = true;
    }
    div.style.display = z ? "none" : "block";
    this.o = !z;
    var junction = WhNodeImage(this.n_id, "j_img");
    if (junction)
        junction.src = this.GetJunction();
    var icon = WhNodeImage(this.n_id, "i_img");
    if (icon)
        icon.src = this.GetIcon();
};

TreeNode.prototype.select = function (u) {
    if (!u) {
        var previous = this.g.m;
        if (previous && previous !== this)
            previous.select(true);
        this.g.m = this;
        if (typeof WhSetShared == "function")
            WhSetShared("pagenum", this.n_id);
    }
    var icon = WhNodeImage(this.n_id, "i_img");
    if (icon)
        icon.src = this.GetIcon();
    var text = document.getElementById("i_txt" + this.n_id);
    if (text)
        text.style.fontWeight = u ? "normal" : "bold";
    return !!this.l[1];
};

// Brings the entry into view when the tree jumps to it.
TreeNode.prototype.show = function () {
    var text = document.getElementById("i_txt" + this.n_id);
    if (!text || !text.getBoundingClientRect)
        return;
    var rect = text.getBoundingClientRect();
    var height = window.innerHeight || document.documentElement.clientHeight;
    if (rect.top < 0 || rect.bottom > height)
        text.scrollIntoView(false);
};
