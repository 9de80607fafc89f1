// Start page, shared state and address of the frameset; runs in the window of index.html after
// contentsdata.js, whcontents.js and whhelper.js.

var pageid = "";
var searchquery = "";
var indexquery = "";
var pagenum = 0;
var contree = null;

var F = typeof gInitURL == "string" ? gInitURL : "";
if (window.location.search.length > 1) {
    var gWhPage = WhPageParam(window.location.search.substring(1));
    if (gWhPage !== null)
        F = gWhPage;
}
// The frameset writes F into its markup: a quote or a script address must not get through.
F = WhSafeAddress(F);

webhelptop.whtopframe = window;
pageid = F;
document.gbShow = true;
document.gstrFrameLastSetting = "";

// The address bar names the page shown (?page=...), so that a topic can be bookmarked, shared
// and reloaded. The page is named once the content frame has loaded it: named earlier, the
// history entry of the page before it would take the new address.
var gWhPendingPage = F; // what the runtime opened and no load has named yet

// The query that names strAddress, as WhPageParam reads it back; "/" stays readable. Null for a
// text that cannot be encoded (a lone surrogate).
function WhPageQuery(strAddress) {
    try {
        return "?page=" + encodeURIComponent(strAddress).replace(/%2F/g, "/");
    } catch (e) {
        return null;
    }
}

// Puts strAddress into the address bar without a new history entry. A browser that refuses
// (some do for a page opened from disk) leaves the address as it is.
function WhShowPage(strAddress) {
    if (typeof strAddress != "string" || strAddress === "")
        return;
    var strQuery = WhPageQuery(strAddress);
    if (strQuery === null)
        return;
    try {
        if (window.location.search !== strQuery)
            window.history.replaceState(window.history.state, "", strQuery);
    } catch (e) {
    }
}

// The runtime opens strAddress in the content frame (tree, index, search, previous/next).
function WhExpectPage(strAddress) {
    if (typeof strAddress != "string" || strAddress === "")
        return;
    gWhPendingPage = strAddress;
}

// The address of strUrl relative to the folder of index.html, or null outside that folder.
function WhSiteAddress(strUrl) {
    var strBase = String(window.location.href).replace(/[?#].*$/, "");
    strBase = strBase.substring(0, strBase.lastIndexOf("/") + 1);
    var s = String(strUrl);
    if (strBase === "" || s.length <= strBase.length || s.indexOf(strBase) !== 0)
        return null;
    s = s.substring(strBase.length);
    try {
        return decodeURI(s);
    } catch (e) {
        return s;
    }
}

function WhResolvedUrl(strAddress) {
    var link = document.createElement("a");
    link.href = strAddress;
    return link.href;
}

// The content frame shows the page at strUrl: names it, in the spelling of the runtime's own
// address for it when it has one (the tree finds that spelling again after a reload).
function WhContentAt(strUrl) {
    var pending = gWhPendingPage;
    gWhPendingPage = null;
    var strAddress = WhSiteAddress(strUrl);
    if (strAddress === null)
        return;
    var known = [pending, pageid];
    for (var i = 0; i < known.length; i++) {
        if (typeof known[i] == "string" && known[i] !== "" && WhResolvedUrl(known[i]) === strUrl) {
            strAddress = known[i];
            break;
        }
    }
    WhShowPage(strAddress);
}

// The content frame has loaded a page, or moved to an anchor of it.
function WhContentShown(frame) {
    var href;
    try {
        href = frame.contentWindow.location.href;
    } catch (e) {
        // Another origin (opened from disk): only the page the runtime opened is known here; a
        // page that carries the runtime says where it is (command "hello").
        WhShowPage(gWhPendingPage);
        gWhPendingPage = null;
        return;
    }
    WhContentAt(href);
}

// Frame load events do not bubble, but the document sees them while capturing.
if (document.addEventListener) {
    document.addEventListener("load", function (e) {
        var frame = e.target;
        if (!frame || !frame.nodeName || frame.nodeName.toLowerCase() != "frame" || frame.name != "content")
            return;
        WhContentShown(frame);
        try {
            frame.contentWindow.addEventListener("hashchange", function () {
                WhContentShown(frame);
            }, false);
        } catch (e2) {
        }
    }, true);
}
