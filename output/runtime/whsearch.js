// Full-text search of the Search tab over SearchIndexes ([keyword, [page numbers]]), SearchFiles
// and SearchTitles. The page provides the form "searchform" with the list "founddocslist",
// submits to Search(text) and opens a result with OpenFoundDoc().

var request = [];
var w = null;
var browser = WhBrowserClass();

var gWhKeywordMap = null;
var gWhPendingSearch = null;

// The search page loads its data without waiting for it (a large help's takes seconds to run):
// the element stays here until the data has arrived, and a request made before then runs when
// it does.
var gWhSearchData = document.getElementById ? document.getElementById("whsearchdata") : null;
if (gWhSearchData && typeof SearchIndexes == "undefined")
    gWhSearchData.onload = gWhSearchData.onerror = WhSearchDataArrived;
else
    gWhSearchData = null;

function WhSearchDataArrived() {
    gWhSearchData = null;
    gWhKeywordMap = null;
    var pending = gWhPendingSearch;
    gWhPendingSearch = null;
    if (pending !== null)
        Search(pending);
}
var gWhHilightOldDoc = null;
var gWhHilightTries = 0;

function WhBrowserClass() {
    var version = parseFloat(navigator.appVersion);
    var msie = navigator.appVersion.indexOf("MSIE");
    if (msie >= 0) {
        var part = navigator.appVersion.split(";")[1] || "";
        version = parseFloat(part.split(" ")[2]);
    }
    if (navigator.userAgent.indexOf("Opera") >= 0 && version >= 4)
        return "opera";
    if (navigator.appName.indexOf("Netscape") >= 0)
        return "netscape";
    return "ie";
}

function WhFoundList() {
    var form = document.forms["searchform"];
    return form && form.elements["founddocslist"] ? form.elements["founddocslist"] : null;
}

function PrepareRequest(req) {
    return String(req).replace(/ +/g, " ").replace(/^ /, "").replace(/ $/, "");
}

var gWhInvalidChars = "`~!@#$%^&*()-+={}[]|\\<>,.?/;:'\"";

function ValidateRequest(s) {
    s = String(s);
    for (var i = 0; i < s.length; i++) {
        if (gWhInvalidChars.indexOf(s.charAt(i)) >= 0) {
            alert("Invalid character at position " + (i + 1) + "!");
            return false;
        }
    }
    return true;
}

// The first entry of SearchIndexes with this keyword, as its page list; null when there is none.
function WhLookup(word) {
    if (!gWhKeywordMap) {
        gWhKeywordMap = {};
        var data = typeof SearchIndexes != "undefined" && SearchIndexes ? SearchIndexes : [];
        for (var i = 0; i < data.length; i++) {
            var key = "k" + data[i][0];
            if (!gWhKeywordMap.hasOwnProperty(key))
                gWhKeywordMap[key] = data[i][1];
        }
    }
    var pages = gWhKeywordMap["k" + word];
    return pages && gWhKeywordMap.hasOwnProperty("k" + word) ? pages : null;
}

// Pages under any keyword that begins with prefix, ascending; null when there is none.
function WhLookupPrefix(prefix) {
    var data = typeof SearchIndexes != "undefined" && SearchIndexes ? SearchIndexes : [];
    var seen = {};
    var pages = [];
    for (var i = 0; i < data.length; i++) {
        var key = String(data[i][0]);
        if (key.length <= prefix.length || key.substring(0, prefix.length) !== prefix)
            continue;
        var list = data[i][1];
        for (var j = 0; j < list.length; j++) {
            if (seen["p" + list[j]] !== true) {
                seen["p" + list[j]] = true;
                pages.push(list[j]);
            }
        }
    }
    pages.sort(function (a, b) { return a - b; });
    return pages.length ? pages : null;
}

// A keyword that is missing finds the keywords that begin with it, when the term is specific
// enough: three Latin letters or digits, or one wide character.
function WhLookupOrPrefix(word, wide) {
    var pages = WhLookup(word);
    if (pages || !(wide ? WhCharacters(word).length == 1 : /^[a-z0-9]{3,}$/.test(word)))
        return pages;
    return WhLookupPrefix(word);
}

// Characters of a string, a surrogate pair as one (the harvest never splits a UTF-8 character).
function WhCharacters(s) {
    return s.match(/[\ud800-\udbff][\udc00-\udfff]|[\s\S]/g) || [];
}

// A wide run as the harvest cuts it: its overlapping pairs of characters, which must all be on
// a page (besides the run itself as a keyword, the only form a single-byte site has).
function WhLookupWide(run) {
    var pages = WhLookupOrPrefix(run, true);
    var chars = WhCharacters(run);
    if (chars.length < 3)
        return pages;
    var common = null;
    for (var i = 0; i + 1 < chars.length; i++) {
        var pair = WhLookup(chars[i] + chars[i + 1]);
        if (!pair)
            return pages;
        common = common ? ANDarrays(common, pair) : pair;
    }
    if (!pages)
        return common.length ? common : null;
    common = ORarrays(common, pages);
    common.sort(function (a, b) { return a - b; });
    return common;
}

// The pages of a typed term (lower case); null when it finds none. A term with wide characters
// finds the pages that hold each of its runs of letters and digits and each of its wide runs.
function WhLookupTerm(term) {
    if (!/[^\u0000-\u007f]/.test(term))
        return WhLookupOrPrefix(term, false);
    var runs = term.match(/[a-z0-9]+|[^\u0000-\u007f]+/g) || [];
    var result = null;
    for (var i = 0; i < runs.length; i++) {
        var wide = runs[i].charCodeAt(0) >= 0x80;
        var pages = wide ? WhLookupWide(runs[i]) : WhLookup(runs[i]);
        if (!pages)
            return null;
        result = result ? ANDarrays(result, pages) : pages;
    }
    return result && result.length ? result : null;
}

function ANDarrays(a, b) {
    var inB = {};
    for (var i = 0; i < b.length; i++)
        inB["p" + b[i]] = true;
    var result = [];
    for (var j = 0; j < a.length; j++) {
        if (inB["p" + a[j]] === true)
            result.push(a[j]);
    }
    return result;
}

function ORarrays(a, b) {
    var result = b.slice(0);
    var inB = {};
    for (var i = 0; i < b.length; i++)
        inB["p" + b[i]] = true;
    for (var j = 0; j < a.length; j++) {
        if (inB["p" + a[j]] !== true)
            result.push(a[j]);
    }
    return result;
}

function RecursiveSearch(indx, action, resultsarr) {
    // A loop in place of the recursion: a long request must not exhaust the stack.
    for (;;) {
        if (indx >= request.length)
            return resultsarr;
        var word = request[indx];
        if (word == "OR" || word == "AND") {
            action = word == "AND";
            indx++;
            continue;
        }
        var pages = WhLookupTerm(word.toLowerCase());
        if (pages) {
            if (action)
                resultsarr = indx == 0 ? pages.slice(0) : ANDarrays(resultsarr, pages);
            else
                resultsarr = ORarrays(resultsarr, pages);
            action = true;
            indx++;
            continue;
        }
        if (!action)
            return resultsarr;
        if (indx != 0)
            return [];
        resultsarr = [];
        indx++;
    }
}

function Search(s) {
    if (s == null || s === "" || !ValidateRequest(s))
        return false;
    if (gWhSearchData) {
        gWhPendingSearch = s;
        return true;
    }
    var list = WhFoundList();
    if (list)
        list.textContent = "";   // far quicker than emptying the options one by one
    request = PrepareRequest(s).split(" ");
    var found = RecursiveSearch(0, true, []);
    if (found.length == 0) {
        alert("No matches found!");
        return true;
    }
    if (!list)
        return true;
    var fragment = document.createDocumentFragment();
    for (var i = 0; i < found.length; i++) {
        var option = document.createElement("option");
        option.textContent = String(SearchTitles[found[i]]);
        option.value = String(SearchFiles[found[i]]);
        fragment.appendChild(option);
    }
    list.appendChild(fragment);
    return true;
}

function WhHilightWords() {
    var words = [];
    for (var i = 0; i < request.length; i++) {
        if (request[i] != "OR" && request[i] != "AND" && request[i] !== "")
            words.push(request[i]);
    }
    return words;
}

function OpenFoundDoc() {
    var list = WhFoundList();
    if (!list || list.selectedIndex < 0)
        return;
    var address = list.options[list.selectedIndex].value;
    w = WhGetFrame("content");
    gWhHilightOldDoc = null;
    try {
        gWhHilightOldDoc = w.document;
    } catch (e) {
        // A page of another origin highlights itself when it loads, if it carries this script.
        WhRunOnTop("hilight", [WhHilightWords()]);
    }
    WhLoadFrame("content", address);
    gWhHilightTries = 0;
    Hilight();
    WhSetShared("pageid", address);
}

function Hilight() {
    var doc = null;
    try {
        doc = w.document;
    } catch (e) {
        return;
    }
    var ready = doc && doc.body && (doc.readyState == "complete" || doc.readyState == "loaded");
    // Until the new page replaces the old one; a jump within the same page keeps its document.
    if (!ready || (doc === gWhHilightOldDoc && gWhHilightTries < 20)) {
        if (++gWhHilightTries <= 100)
            setTimeout(Hilight, 100);
        return;
    }
    HilightDocument(doc, WhHilightWords());
}

function WhIsWordChar(c) {
    return /[A-Za-z0-9_]/.test(c);
}

// Wraps up to 100 occurrences of each word (ignoring case) in a yellow span; after a hit the
// rest of that word of the page is skipped.
function HilightDocument(doc, words) {
    if (!doc || !doc.body || !doc.createTreeWalker)
        return;
    for (var k = 0; k < words.length; k++) {
        var word = String(words[k]).toLowerCase();
        if (word === "")
            continue;
        var nodes = [];
        var walker = doc.createTreeWalker(doc.body, 4, null, false);
        for (var node = walker.nextNode(); node; node = walker.nextNode()) {
            var parent = node.parentNode ? node.parentNode.nodeName.toLowerCase() : "";
            if (parent != "script" && parent != "style" && parent != "textarea" && parent != "noscript")
                nodes.push(node);
        }
        var count = 0;
        for (var i = 0; i < nodes.length && count < 100; i++) {
            var text = nodes[i];
            var from = 0;
            while (count < 100) {
                var at = text.data.toLowerCase().indexOf(word, from);
                if (at < 0)
                    break;
                var hit = at > 0 ? text.splitText(at) : text;
                var rest = hit.splitText(word.length);
                var span = doc.createElement("span");
                span.setAttribute("style", "background-color:#FFFF00");
                hit.parentNode.replaceChild(span, hit);
                span.appendChild(hit);
                count++;
                text = rest;
                from = 0;
                if (WhIsWordChar(word.charAt(word.length - 1))) {
                    while (from < text.data.length && WhIsWordChar(text.data.charAt(from)))
                        from++;
                }
            }
        }
    }
}
