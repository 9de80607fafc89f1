// Contents tree viewer over ContentItems: var contree = new MakeTree(ContentItems, false);
// Entries are [title, address or null, icon number, children...]. Nodes are numbered in tree
// order, so a node's number is the index of its address in ContentFiles.

// True when the page cannot be changed after loading: the tree is then written fully open.
var gWhStaticTree = false;
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

// A static tree is written into the page as it loads, every node followed by its open subtree.
function WhWriteStaticNodes(nodes) {
    for (var i = 0; i < nodes.length; i++) {
        document.write(nodes[i].init());
        nodes[i].expand();
    }
}

function WhNodesMarkup(nodes) {
    var parts = [];
    for (var i = 0; i < nodes.length; i++)
        parts.push(nodes[i].init());
    return parts.join("");
}

function MakeTree(items, openAll) {
    gWhStaticTree = !DHTMLSupported();
    this.items = items || [];
    this.nodes = [];          // every node, by its number
    this.selected = null;
    this.children = [];       // the top-level nodes
    this.n_depth = -1;
    this.n_id = trees.length; // this tree's place in trees, which the node markup calls

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

    for (var t = 0; t < this.items.length; t++) {
        if (Array.isArray(this.items[t]))
            new TreeNode(this, this, this.items[t], this.children.length);
    }
    trees[this.n_id] = this;

    if (gWhStaticTree) {
        WhWriteStaticNodes(this.children);
    } else {
        document.write(WhNodesMarkup(this.children));
        if (openAll) {
            for (var o = 0; o < this.children.length; o++)
                this.children[o].expand();
        }
    }
    if (typeof WhRegisterTree == "function")
        WhRegisterTree(this);
}

MakeTree.prototype.select = function (n_id) {
    var node = this.nodes[n_id];
    if (!node)
        return false;
    var files = typeof ContentFiles != "undefined" && ContentFiles ? ContentFiles : null;
    var address = files && n_id < files.length ? files[n_id] : node.address();
    if (address != null && address !== "" && typeof WhSetShared == "function")
        WhSetShared("pageid", address);
    return node.select();
};

MakeTree.prototype.toggle = function (n_id) {
    var node = this.nodes[n_id];
    if (!node)
        return;
    if (node.isOpen)
        node.collapse();
    else
        node.expand();
};

MakeTree.prototype.OpenDownTo = function (node) {
    var chain = [];
    for (var p = node.parent; p && p !== this; p = p.parent)
        chain.unshift(p);
    for (var i = 0; i < chain.length; i++) {
        if (!chain[i].isOpen)
            chain[i].expand();
    }
};

MakeTree.prototype.OpenTreeNode = function (filename) {
    if (this.selected && this.selected.address() == filename)
        return;
    if (filename == null || filename === "")
        return;
    var want = String(filename).toLowerCase();
    var found = null;
    for (var i = 0; i < this.nodes.length; i++) {
        var address = this.nodes[i].address();
        if (address && String(address).toLowerCase() == want) {
            this.OpenDownTo(this.nodes[i]);
            this.nodes[i].select();
            found = this.nodes[i];
        }
    }
    if (found)
        found.show();
};

MakeTree.prototype.dOpenTreeNode = function (id) {
    if (this.selected && this.selected.n_id == id)
        return;
    var node = this.nodes[id];
    if (!node)
        return -1;
    this.OpenDownTo(node);
    node.select();
    node.show();
    return id;
};

function TreeNode(tree, parent, entry, position) {
    this.n_depth = parent.n_depth + 1;
    this.entry = entry;
    this.tree = tree;
    this.parent = parent;
    this.n_order = position;       // among its parent's children
    this.isOpen = false;
    this.childrenWritten = false;
    this.n_id = tree.nodes.length;
    this.children = [];
    tree.nodes[this.n_id] = this;
    parent.children[position] = this;
    for (var i = 3; i < entry.length; i++) {
        if (Array.isArray(entry[i]))
            new TreeNode(tree, this, entry[i], this.children.length);
    }
}

TreeNode.prototype.title = function () {
    return this.entry[0];
};

TreeNode.prototype.address = function () {
    return this.entry[1];
};

TreeNode.prototype.isLast = function () {
    return this.n_order == this.parent.children.length - 1;
};

TreeNode.prototype.GetIcon = function () {
    var num = parseInt(this.entry[2], 10);
    if (isNaN(num))
        num = 11;
    if (num >= 1 && num <= 8) {
        var closed = num % 2 == 1 ? num : num - 1;
        num = this.isOpen ? closed + 1 : closed;
    }
    return "whfiles/" + num + ".gif";
};

TreeNode.prototype.GetJunction = function () {
    var v = 2;
    var kids = this.children.length > 0;
    var last = this.isLast();
    if (kids)
        v += 16;
    if (kids && this.isOpen)
        v += 8;
    if (last)
        v += 1;
    if (this.parent === this.tree && this.n_order == 0 && !last)
        v += 2;
    return licons["ic_" + v];
};

TreeNode.prototype.init = function () {
    var tree = this.tree.n_id;
    var id = this.n_id;
    var kids = this.children.length > 0;
    var chain = [];
    for (var p = this.parent; p !== this.tree; p = p.parent)
        chain.unshift(p);
    var html = '<a name="i_txt' + id + '"></a>'
        + '<table cellpadding="0" cellspacing="0" border="0"><tr><td nowrap>';
    for (var i = 0; i < chain.length; i++) {
        html += '<img src="' + (chain[i].isLast() ? licons.ic_e : licons.ic_l)
            + '" border="0" align="absbottom">';
    }
    var junction = '<img src="' + this.GetJunction() + '" border="0" align="absbottom"'
        + (kids ? ' name="j_img' + id + '"' : '') + '>';
    if (kids && !gWhStaticTree)
        junction = '<a href="javascript:void(trees[' + tree + '].toggle(' + id + '))">' + junction + '</a>';
    html += junction;
    var address = this.address();
    html += '<a href="' + (address ? WhHtmlAttr(address) : "javascript:void(0)") + '" target="'
        + licons.target + '" onclick="return trees[' + tree + '].select(' + id + ')"'
        + (gWhStaticTree ? '' : ' ondblclick="trees[' + tree + '].toggle(' + id + ')"')
        + ' class="t0i" id="i_txt' + id + '">'
        + '<img src="' + this.GetIcon() + '" name="i_img' + id + '" class="t0im" border="0" align="absbottom">'
        + '&nbsp;' + WhHtmlText(this.title() == null ? "" : this.title()) + '</a>';
    html += '</td></tr></table>';
    if (kids)
        html += '<div id="divtree' + id + '" style="display:none"></div>';
    return html;
};

// Shows the node's children, writing their markup the first time.
TreeNode.prototype.expand = function () {
    var div = document.getElementById("divtree" + this.n_id);
    if (!div)
        return;
    if (gWhStaticTree) {
        // Written once, during page load, and never closed.
        if (this.isOpen)
            return;
        this.isOpen = true;
        WhWriteStaticNodes(this.children);
        return;
    }
    if (!this.childrenWritten) {
        div.innerHTML = WhNodesMarkup(this.children);
        this.childrenWritten = true;
    }
    div.style.display = "block";
    this.isOpen = true;
    this.ShowImages();
};

TreeNode.prototype.collapse = function () {
    var div = document.getElementById("divtree" + this.n_id);
    if (!div || gWhStaticTree)
        return;
    div.style.display = "none";
    this.isOpen = false;
    this.ShowImages();
};

TreeNode.prototype.ShowImages = function () {
    var junction = WhNodeImage(this.n_id, "j_img");
    if (junction)
        junction.src = this.GetJunction();
    this.ShowIcon();
};

TreeNode.prototype.ShowIcon = function () {
    var icon = WhNodeImage(this.n_id, "i_img");
    if (icon)
        icon.src = this.GetIcon();
};

// Makes this the tree's one selected node; true when it has a page to open.
TreeNode.prototype.select = function () {
    var previous = this.tree.selected;
    if (previous && previous !== this)
        previous.unselect();
    this.tree.selected = this;
    if (typeof WhSetShared == "function")
        WhSetShared("pagenum", this.n_id);
    this.ShowIcon();
    this.SetTextWeight("bold");
    return !!this.address();
};

TreeNode.prototype.unselect = function () {
    this.ShowIcon();
    this.SetTextWeight("normal");
};

TreeNode.prototype.SetTextWeight = function (weight) {
    var text = document.getElementById("i_txt" + this.n_id);
    if (text)
        text.style.fontWeight = weight;
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
