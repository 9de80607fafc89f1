// Frames, shared state, tabs, pane, previous/next and print of a WebHelp site.
//
// Shared state lives in the window of index.html (whtopframe). Over http every frame reaches it
// directly. Opened from disk each file is its own origin: a frame can then neither read the top
// window nor touch another frame's DOM, so it keeps a mirror of the state (gWhState) and asks the
// top window by postMessage; navigation by frame name still works everywhere.
//
// So pages call the plain functions of the runtime, which work from any frame of the site, and
// never reach into webhelptop.whtopframe themselves:
//   header pages  SetCurPage(n) once; OnClickButton(n), hidePane(), navDelta(-1 / 1), conPrint(),
//                 syncTopic() on their buttons; ids "tabcontents1" ... "btnsearch" on the tabs.
//   contents page var contree = new MakeTree(ContentItems, false); after loading whhelper.js,
//                 contentsdata.js, whcontents.js and whtree.js.
//   index page    Startup() on load, SelectMatch(text) on input, ShowMatch() to open.
//   search page   Search(text) on submit (returning false), OpenFoundDoc() to open.
// A topic page that loads whhelper.js and whsearch.js highlights and prints itself when asked.
//
// What changes the shared state runs in the top window as a command of one table
// (gWhTopCommands): a frame that may touch that window calls it there, another posts it.

var gbShow = true;
var gstrFrameLastSetting = "";
var gbtntab1 = null;
var gbtntab2 = null;
var gbtntxt = null;
var gcurpage = 0;

// Mirror of the top window's state, for frames that cannot read it.
var gWhState = {
    pageid: "", pagenum: 0, F: "", indexquery: "", searchquery: "",
    gbShow: true, gstrFrameLastSetting: "", gcurpage: 0,
    gbtntab1: null, gbtntab2: null, gbtntxt: null
};
var gWhTree = null;          // the contents tree of this page, when it has one
var gWhPrintTimer = null;

var webhelptop = FindTop(window);

function FindTop(start) {
    var win = start;
    while (win !== win.top) {
        try {
            var name = win.parent.name;
            if (typeof name != "string")
                return win;
        } catch (e) {
            return win;
        }
        win = win.parent;
    }
    return win;
}

function FindFrame(frameName, start) {
    var want = String(frameName).toLowerCase();
    var count = 0;
    try {
        count = start.frames.length;
    } catch (e) {
        return null;
    }
    for (var i = 0; i < count; i++) {
        var frame = start.frames[i];
        var name;
        try {
            name = frame.name;
        } catch (e) {
            continue;
        }
        if (typeof name != "string")
            continue;
        if (name.toLowerCase() == want)
            return frame;
        var found = FindFrame(frameName, frame);
        if (found)
            return found;
    }
    return null;
}

function getElement(doc, sID) {
    try {
        if (doc.getElementById)
            return doc.getElementById(sID);
        if (doc.all)
            return doc.all[sID] || null;
    } catch (e) {
    }
    return null;
}

// The window of index.html when this window may touch it, else null.
function WhTopFrame() {
    try {
        var top = webhelptop.whtopframe;
        if (top && top.document)
            return top;
    } catch (e) {
    }
    return null;
}

function WhHasSiteFrames(win) {
    try {
        return !!(win.frames["toc"] && win.frames["content"]);
    } catch (e) {
        return false;
    }
}

// The window of index.html, reachable or not: the nearest ancestor holding the site's frames.
function WhIndexWindow() {
    var top = WhTopFrame();
    if (top)
        return top;
    var win = window;
    for (var depth = 0; depth < 16; depth++) {
        if (WhHasSiteFrames(win))
            return win;
        if (win === win.parent)
            break;
        win = win.parent;
    }
    return window.top;
}

function WhIsIndexWindow() {
    return WhTopFrame() === window;
}

// True when win is a frame somewhere below root (frames of other origins included).
function WhIsFrameOf(root, win, depth) {
    if (!win || depth > 8)
        return false;
    var count = 0;
    try {
        count = root.frames.length;
    } catch (e) {
        return false;
    }
    for (var i = 0; i < count; i++) {
        var frame;
        try {
            frame = root.frames[i];
        } catch (e) {
            continue;
        }
        if (frame === win || WhIsFrameOf(frame, win, (depth || 0) + 1))
            return true;
    }
    return false;
}

// The named frame of the site; by name lookup when frame names cannot be read.
function WhGetFrame(name) {
    var frame = FindFrame(name, webhelptop);
    if (frame)
        return frame;
    var index = WhIndexWindow();
    try {
        frame = index.frames[name];
    } catch (e) {
        frame = null;
    }
    return frame || null;
}

function WhLoadFrame(name, url) {
    var frame = WhGetFrame(name);
    if (!frame)
        return false;
    try {
        frame.location.href = url;
        return true;
    } catch (e) {
        return false;
    }
}

// Posts a command of gWhTopCommands or gWhFrameCommands to win.
function WhPost(win, fn, args) {
    try {
        win.postMessage({ whmsg: "call", fn: fn, args: args || [] }, "*");
    } catch (e) {
    }
}

// Runs a command of gWhTopCommands in the index.html window: called there when this frame may
// touch it, else posted, and run there from the same table.
function WhRunOnTop(fn, args) {
    var top = WhTopFrame();
    if (top)
        top.WhRunTopCommand(fn, args || [], window);
    else
        WhPost(WhIndexWindow(), fn, args);
}

// Where the functions find the shared document properties (gbShow, gcurpage, ...).
function WhDoc() {
    var top = WhTopFrame();
    return top ? top.document : gWhState;
}

// Sets a shared variable of the index.html window (pageid, pagenum, indexquery, searchquery) and
// this frame's mirror of it.
function WhSetShared(name, value) {
    gWhState[name] = value;
    WhRunOnTop("set", [name, value]);
}

// Called by each header page with its tab number (0 Contents, 1 Index, 2 Search).
function SetCurPage(nTab) {
    gcurpage = nTab;
    gWhState.gcurpage = nTab;
    WhRunOnTop("tab", [nTab]);
}

function navDelta(incr) {
    WhRunOnTop("navDelta", [incr]);
}

// Runs in the index.html window: shows the previous (incr < 0) or next entry that has a page.
// True when it moved.
function WhStepPage(incr) {
    var files = typeof ContentFiles != "undefined" && ContentFiles ? ContentFiles : [];
    var target = -1;
    var i;
    if (incr < 0) {
        for (i = pagenum - 1; i >= 0; i--) {
            if (files[i] != null && files[i] !== "") {
                target = i;
                break;
            }
        }
    } else {
        for (i = pagenum + 1; i < files.length; i++) {
            if (files[i] != null && files[i] !== "") {
                target = i;
                break;
            }
        }
    }
    if (target < 0)
        return false;
    try {
        contree.dOpenTreeNode(target);
    } catch (e) {
    }
    pagenum = target;
    pageid = files[target];
    WhLoadFrame("content", files[target]);
    WhExpectPage(pageid);
    return true;
}

function conPrint() {
    var frame = WhGetFrame("content");
    if (frame && !window.opera) {
        try {
            if (frame.focus && frame.print) {
                frame.focus();
                frame.print();
                return;
            }
        } catch (e) {
            // Another origin (a site opened from disk): only a script inside the page can print it.
            if (gWhPrintTimer)
                clearTimeout(gWhPrintTimer);
            gWhPrintTimer = setTimeout(function () {
                gWhPrintTimer = null;
                alert("Sorry, your browser does not support the print feature.");
            }, 500);
            WhPost(frame, "print");
            return;
        }
    }
    alert("Sorry, your browser does not support the print feature.");
}

function WhTabIds(nTab) {
    if (nTab == 1)
        return ["tabindex1", "tabindex2", "btnindex"];
    if (nTab == 2)
        return ["tabsearch1", "tabsearch2", "btnsearch"];
    return ["tabcontents1", "tabcontents2", "btncontents"];
}

function WhColour(name) {
    return typeof window[name] == "string" ? window[name] : "";
}

function OnClickButton(btnId) {
    var doc = WhDoc();
    // A header page that cannot reach the top window knows its own tab best.
    var cur = WhTopFrame() ? doc.gcurpage : gcurpage;
    if (btnId == 0 && cur != 0) {
        WhLoadFrame("toc", "whnavc.html");
        window.location.href = "whheaderc.html";
    } else if (btnId == 1 && cur != 1) {
        WhLoadFrame("toc", "whnavi.html");
        window.location.href = "whheaderi.html";
    } else if (btnId == 2 && cur != 2) {
        WhLoadFrame("toc", "whnavs.html");
        window.location.href = "whheaders.html";
    } else if (!doc.gbShow) {
        showPane();
        var ids = WhTabIds(cur);
        var tab1 = getElement(document, ids[0]);
        var tab2 = getElement(document, ids[1]);
        var txt = getElement(document, ids[2]);
        if (tab1)
            tab1.style.backgroundColor = WhColour("selbtnbordercolor");
        if (tab2)
            tab2.style.backgroundColor = WhColour("selbtnbgcolor");
        if (txt)
            txt.style.color = WhColour("selbtntxtcolor");
        doc.gbtntab1 = tab1;
        doc.gbtntab2 = tab2;
        doc.gbtntxt = txt;
    }
}

// Width of this window's first sub-frame, as a column setting, or "".
function WhFirstFrameWidth() {
    try {
        var frame = window.frames[0];
        if (frame && frame.document && frame.document.body)
            return frame.document.body.offsetWidth + ",*";
    } catch (e) {
    }
    return "";
}

function WhHideFrameset(topDoc, strWidth) {
    var fs = getElement(topDoc, "whPfset");
    if (fs) {
        topDoc.gstrFrameLastSetting = strWidth || fs.cols;
        fs.cols = "0,*";
    }
    topDoc.gbShow = false;
}

function WhShowFrameset(topDoc) {
    var fs = getElement(topDoc, "whPfset");
    if (fs)
        fs.cols = topDoc.gstrFrameLastSetting ? topDoc.gstrFrameLastSetting : "250,*";
    topDoc.gbShow = true;
}

function hidePane() {
    var doc = WhDoc();
    if (!doc.gbShow)
        return;
    WhRunOnTop("hidePane", [WhFirstFrameWidth()]);
    doc.gbShow = false;
    // The tab colours belong to the header page, also when the pane is hidden from elsewhere.
    var header = WhGetFrame("header");
    try {
        if (header && header !== window && header.WhUnmarkTab)
            header.WhUnmarkTab();
        else
            WhUnmarkTab();
    } catch (e) {
        WhUnmarkTab();
    }
}

// Shows the remembered tab of this header page as not selected; a page that could not remember
// it in the top window takes its own current tab.
function WhUnmarkTab() {
    var doc = WhDoc();
    var tab1 = doc.gbtntab1;
    var tab2 = doc.gbtntab2;
    var txt = doc.gbtntxt;
    if (!tab1 && !tab2 && !txt && !WhTopFrame()) {
        var ids = WhTabIds(gcurpage);
        tab1 = getElement(document, ids[0]);
        tab2 = getElement(document, ids[1]);
        txt = getElement(document, ids[2]);
    }
    try {
        if (tab1)
            tab1.style.backgroundColor = WhColour("btnbordercolor");
        if (tab2)
            tab2.style.backgroundColor = WhColour("btnbgcolor");
        if (txt)
            txt.style.color = WhColour("btntxtcolor");
    } catch (e) {
    }
}

function showPane() {
    WhRunOnTop("showPane");
    WhDoc().gbShow = true;
}

function syncTopic() {
    WhLoadFrame("header", "whheaderc.html");
    WhLoadFrame("toc", "whnavc.html");
}

// A tree page announces its tree so that previous/next can open it, and shows the current page.
function WhRegisterTree(tree) {
    gWhTree = tree;
    WhRunOnTop("treeready");
}

function WhStateOf(topWin) {
    var doc = topWin.document;
    return {
        pageid: topWin.pageid, pagenum: topWin.pagenum, F: topWin.F,
        indexquery: topWin.indexquery, searchquery: topWin.searchquery,
        gbShow: doc.gbShow, gstrFrameLastSetting: doc.gstrFrameLastSetting, gcurpage: doc.gcurpage
    };
}

function WhBroadcastTo(win, state, depth) {
    var count = 0;
    try {
        count = win.frames.length;
    } catch (e) {
        return;
    }
    for (var i = 0; i < count && depth < 8; i++) {
        var frame = win.frames[i];
        WhPost(frame, "state", [state]);
        WhBroadcastTo(frame, state, depth + 1);
    }
}

// Runs in the index.html window: tells frames that cannot read it what changed.
function WhBroadcastState() {
    if (!WhIsIndexWindow())
        return;
    WhBroadcastTo(window, WhStateOf(window), 0);
}

var gWhSharedNames = { pageid: "string", pagenum: "number", indexquery: "string", searchquery: "string" };

// The frame's tree when this window may touch it, else null.
function WhReachableTree(win) {
    try {
        return win.gWhTree || null;
    } catch (e) {
        return null;
    }
}

// Commands of the index.html window, run for the frame source (see WhRunOnTop). Their arguments
// may come by message from any frame of the site: each checks them. Each returns true when the
// state that frames mirror has changed.
var gWhTopCommands = {
    // A frame's first message: the state, and to the content page the words to highlight.
    // A content page also says where it is: from disk, the top window cannot read that.
    hello: function (args, source) {
        var state = WhStateOf(window);
        var content = source === WhGetFrame("content");
        if (content && typeof args[0] == "string")
            WhContentAt(args[0]);
        if (gWhHilight && content) {
            state.hilight = gWhHilight;
            gWhHilight = null;
        }
        WhPost(source, "state", [state]);
        return false;
    },
    set: function (args) {
        var name = args[0];
        if (!gWhSharedNames.hasOwnProperty(name) || typeof args[1] != gWhSharedNames[name])
            return false;
        window[name] = args[1];
        if (name == "pageid")
            WhExpectPage(args[1]);
        return true;
    },
    tab: function (args) {
        if (typeof args[0] != "number")
            return false;
        document.gcurpage = args[0];
        return true;
    },
    // The words the next content page that says hello highlights.
    hilight: function (args) {
        gWhHilight = Array.isArray(args[0]) ? args[0] : null;
        return false;
    },
    navDelta: function (args) {
        return typeof args[0] == "number" && WhStepPage(args[0]);
    },
    hidePane: function (args) {
        if (document.gbShow)
            WhHideFrameset(document, /^\d+,\*$/.test(args[0]) ? args[0] : "");
        return true;
    },
    showPane: function () {
        WhShowFrameset(document);
        return true;
    },
    // A tree this window can touch is used as it is; another is reached by messages.
    treeready: function (args, source) {
        var tree = WhReachableTree(source);
        if (tree) {
            contree = tree;
            tree.OpenTreeNode(pageid);
            return false;
        }
        contree = {
            dOpenTreeNode: function (id) {
                WhPost(source, "dOpenTreeNode", [id]);
                return id;
            }
        };
        var state = WhStateOf(window);
        state.sync = true;
        WhPost(source, "state", [state]);
        return false;
    }
};

// Runs a command of gWhTopCommands for the frame source. An array made in another frame is no
// instance of this window's Array: hence Array.isArray, here and in the commands.
function WhRunTopCommand(fn, args, source) {
    if (!gWhTopCommands.hasOwnProperty(fn))
        return;
    if (gWhTopCommands[fn](Array.isArray(args) ? args : [], source))
        WhBroadcastState();
}

// Commands a frame takes from the index.html window, or from the frame that asked it to print.
var gWhFrameCommands = {
    state: function (args) {
        var state = args[0];
        // A frame that reads the top window directly has no mirror to keep.
        if (!state || typeof state != "object" || WhTopFrame())
            return;
        for (var key in state) {
            if (state.hasOwnProperty(key) && key != "hilight" && key != "sync")
                gWhState[key] = state[key];
        }
        if (state.gbShow === false)
            WhUnmarkTab();
        if (state.sync && gWhTree && typeof state.pageid == "string")
            gWhTree.OpenTreeNode(state.pageid);
        if (Array.isArray(state.hilight))
            WhHilightWhenLoaded(state.hilight);
    },
    dOpenTreeNode: function (args) {
        if (gWhTree && typeof args[0] == "number")
            gWhTree.dOpenTreeNode(args[0]);
    },
    print: function (args, source) {
        WhPost(source, "printed");
        window.focus();
        window.print();
    },
    printed: function () {
        if (gWhPrintTimer) {
            clearTimeout(gWhPrintTimer);
            gWhPrintTimer = null;
        }
    }
};

// The answer to a page's first message can come before the page has its body and scripts.
function WhHilightWhenLoaded(words) {
    if (document.readyState != "complete") {
        window.addEventListener("load", function () {
            WhHilightWhenLoaded(words);
        }, false);
        return;
    }
    if (typeof HilightDocument == "function")
        HilightDocument(document, words);
}

// Makes a deep-link address safe to put into the frameset's markup.
function WhSafeAddress(strAddress) {
    var s = String(strAddress == null ? "" : strAddress);
    if (/^\s*(javascript|vbscript|data)\s*:/i.test(s))
        return "";
    return s.replace(/"/g, "%22").replace(/</g, "%3C").replace(/>/g, "%3E");
}

// The value of the first "page" pair of a query ("a=1&page=x"), decoded; null when there is none.
function WhPageParam(strQuery) {
    var pairs = String(strQuery).split("&");
    for (var i = 0; i < pairs.length; i++) {
        var eq = pairs[i].indexOf("=");
        var name = eq < 0 ? pairs[i] : pairs[i].substring(0, eq);
        if (name != "page")
            continue;
        var value = eq < 0 ? "" : pairs[i].substring(eq + 1);
        try {
            return decodeURIComponent(value);
        } catch (e) {
            return unescape(value);
        }
    }
    return null;
}

var gWhHilight = null;

if (window.addEventListener) {
    window.addEventListener("message", function (e) {
        var msg = e.data;
        if (!msg || typeof msg != "object" || msg.whmsg != "call" || typeof msg.fn != "string")
            return;
        var args = Array.isArray(msg.args) ? msg.args : [];
        if (WhIsIndexWindow()) {
            if (WhIsFrameOf(window, e.source, 0))
                WhRunTopCommand(msg.fn, args, e.source);
            return;
        }
        var index = WhIndexWindow();
        if (e.source === index || WhIsFrameOf(index, e.source, 0)) {
            if (gWhFrameCommands.hasOwnProperty(msg.fn))
                gWhFrameCommands[msg.fn](args, e.source);
        }
    }, false);
}

// A frame that cannot read the top window asks it for the state once; a header page that set
// its tab only in its own window tells the top window which tab it shows.
if (window.parent !== window && !WhTopFrame()) {
    WhRunOnTop("hello", [String(window.location.href)]);
    if (window.addEventListener) {
        window.addEventListener("load", function () {
            if (getElement(document, WhTabIds(gcurpage)[2]))
                WhRunOnTop("tab", [gcurpage]);
        }, false);
    }
}
