// Keyword list of the Index tab over IndexItems ([text, address] per entry). The page provides
// the list box "indexlist" in its first form, calls Startup() when it loads, SelectMatch(text)
// as the user types and ShowMatch() to open the chosen keyword.

var gWhLastMatch = null;   // the last text looked up, upper-cased

function WhIndexList() {
    var form = document.forms.length ? document.forms[0] : null;
    return form && form.elements["indexlist"] ? form.elements["indexlist"] : null;
}

// The keyword text of an option: the entry's own text, with its level blanks.
function WhOptionText(list, i) {
    var entry = IndexItems[list.options[i].value];
    return entry ? String(entry[0]) : list.options[i].text;
}

function Startup() {
    var list = WhIndexList();
    if (!list || typeof IndexItems == "undefined" || !IndexItems)
        return;
    var fragment = document.createDocumentFragment();
    for (var i = 0; i < IndexItems.length; i++) {
        var option = document.createElement("option");
        // Leading blanks give the level; plain blanks would collapse in the list.
        option.textContent = String(IndexItems[i][0]).replace(/^ +/, function (lead) {
            return lead.replace(/ /g, "\u00a0\u00a0");
        });
        option.value = String(i);
        fragment.appendChild(option);
    }
    list.appendChild(fragment);
}

function WhRegExpText(s) {
    return String(s).replace(/[\\^$.*+?()[\]{}|\/]/g, "\\$&");
}

function SelectMatch(str) {
    str = str == null ? "" : String(str);
    WhSetShared("indexquery", str);
    var s = str.toUpperCase();
    if (s == "" || s == gWhLastMatch)
        return false;
    gWhLastMatch = s;
    var list = WhIndexList();
    if (!list)
        return false;
    var count = list.options.length;
    var h = Math.floor(count / 100);
    // Past every bucket's first option the text can only be in the last bucket, which starts
    // 100 before the end when the count is a multiple of 100.
    var first = Math.max(Math.floor((count - 1) / 100) * 100, 0);
    var last = count - 1;
    if (h > 0) {
        for (var i = 0; i * 100 < count; i++) {
            if (WhOptionText(list, i * 100).toUpperCase() > s) {
                first = Math.max((i - 1) * 100, 0);
                last = i * 100;
                break;
            }
        }
    }
    // The typed text is a plain prefix: "c++" must not be read as a pattern.
    var prefix = new RegExp("^" + WhRegExpText(str), "i");
    for (var j = first; j <= last && j < count; j++) {
        if (prefix.test(WhOptionText(list, j))) {
            list.selectedIndex = j;
            return true;
        }
    }
    return false;
}

function ShowMatch() {
    var list = WhIndexList();
    if (!list || list.selectedIndex < 0)
        return false;
    var entry = IndexItems[list.options[list.selectedIndex].value];
    var address = entry && entry[1] != null ? String(entry[1]) : "";
    if (address.indexOf("@@@") == 0) {
        gWhLastMatch = null;
        SelectMatch(address.substring(3));
        return true;
    }
    // A keyword without a page (a heading of sub-entries) leaves the shown page in place.
    if (address !== "")
        WhLoadFrame("content", address);
    WhSetShared("pageid", address);
    return true;
}
