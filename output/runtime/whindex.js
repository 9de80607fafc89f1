// Keyword list of the Index tab over IndexItems ([text, address] per entry). The page provides
// the list box "indexlist" in its first form, calls Startup() when it loads, SelectMatch(text)
// as the user types and ShowMatch() to open the chosen keyword.
// A list box lays out every option before it shows: past WH_INDEX_BOX_MAX entries the list is
// drawn instead as rows made only for the part in view ("indexrows"), and the list box stays empty.
// Up to that size the list box fills in a few tens of milliseconds and keeps its own behaviour.

var WH_INDEX_BOX_MAX = 2000;

var gWhLastMatch = null;   // the last text looked up, upper-cased
var gWhRows = null;        // the drawn list: { box, space, rows, height, selected }
var gWhIndexHeads = null;  // order text of every 100th entry, made on the first lookup

function WhIndexList() {
    var form = document.forms.length ? document.forms[0] : null;
    return form && form.elements["indexlist"] ? form.elements["indexlist"] : null;
}

// The keyword text of an option: the entry's own text, with its level blanks.
function WhOptionText(list, i) {
    var entry = IndexItems[list.options[i].value];
    return entry ? String(entry[0]) : list.options[i].text;
}

// Leading blanks give the level; plain blanks would collapse in the list.
function WhEntryLabel(text) {
    return String(text).replace(/^ +/, function (lead) {
        return lead.replace(/ /g, "\u00a0\u00a0");
    });
}

function WhIndexCount(list) {
    return gWhRows ? IndexItems.length : list.options.length;
}

function WhIndexText(list, i) {
    return gWhRows ? String(IndexItems[i][0]) : WhOptionText(list, i);
}

function WhIndexSelect(list, i) {
    if (gWhRows)
        WhRowsSelect(i);
    else
        list.selectedIndex = i;
}

// The IndexItems entry shown selected; null when none is.
function WhIndexSelected(list) {
    if (gWhRows)
        return gWhRows.selected >= 0 ? IndexItems[gWhRows.selected] : null;
    return list.selectedIndex >= 0 ? IndexItems[list.options[list.selectedIndex].value] : null;
}

function Startup() {
    var list = WhIndexList();
    gWhIndexHeads = null;
    if (!list || typeof IndexItems == "undefined" || !IndexItems)
        return;
    if (IndexItems.length > WH_INDEX_BOX_MAX) {
        WhRowsStart(list);
        return;
    }
    if (gWhRows) {
        gWhRows.box.parentNode.removeChild(gWhRows.box);
        list.style.display = "";
        gWhRows = null;
    }
    var fragment = document.createDocumentFragment();
    for (var i = 0; i < IndexItems.length; i++) {
        var option = document.createElement("option");
        option.textContent = WhEntryLabel(IndexItems[i][0]);
        option.value = String(i);
        fragment.appendChild(option);
    }
    list.appendChild(fragment);
}

function WhRowsStart(list) {
    if (!gWhRows) {
        var box = document.createElement("div");
        box.id = "indexrows";
        box.tabIndex = 0;
        box.setAttribute("role", "listbox");
        var space = document.createElement("div");
        space.style.position = "relative";
        box.appendChild(space);
        list.parentNode.insertBefore(box, list);
        // A page that does not place the rows gets them where its list box is.
        if (box.clientHeight == 0) {
            box.style.width = list.offsetWidth + "px";
            box.style.height = list.offsetHeight + "px";
        }
        list.style.display = "none";
        gWhRows = { box: box, space: space, rows: [], height: 0, selected: -1 };
        box.onscroll = WhRowsDraw;
        box.onmousedown = WhRowsClick;
        box.ondblclick = function () { ShowMatch(); };
        box.onkeydown = WhRowsKey;
        if (window.addEventListener)
            window.addEventListener("resize", WhRowsDraw);
    }
    gWhRows.selected = -1;
    gWhRows.height = WhRowsMeasure();
    gWhRows.space.style.height = IndexItems.length * gWhRows.height + "px";
    gWhRows.box.scrollTop = 0;
    WhRowsDraw();
}

function WhRowsMeasure() {
    var row = WhRowsMake();
    row.textContent = "Xg";
    var height = row.offsetHeight;
    gWhRows.space.removeChild(row);
    gWhRows.rows.pop();
    return height > 0 ? height : 16;
}

function WhRowsMake() {
    var row = document.createElement("div");
    row.setAttribute("role", "option");
    row.style.position = "absolute";
    row.style.left = "0";
    row.style.right = "0";
    gWhRows.space.appendChild(row);
    gWhRows.rows.push(row);
    return row;
}

// Fills the rows in view (one more for a part-shown last row) from the entries they stand for.
function WhRowsDraw() {
    if (!gWhRows)
        return;
    var box = gWhRows.box;
    var height = gWhRows.height;
    var first = Math.floor(box.scrollTop / height);
    var count = Math.ceil(box.clientHeight / height) + 1;
    while (gWhRows.rows.length < count)
        WhRowsMake();
    for (var k = 0; k < gWhRows.rows.length; k++) {
        var row = gWhRows.rows[k];
        var i = first + k;
        if (k >= count || i >= IndexItems.length) {
            row.style.display = "none";
            row.whEntry = -1;
            continue;
        }
        row.style.display = "";
        row.style.top = i * height + "px";
        if (row.whEntry !== i)
            row.textContent = WhEntryLabel(IndexItems[i][0]);
        row.whEntry = i;
        row.className = i == gWhRows.selected ? "whselected" : "";
        row.setAttribute("aria-selected", i == gWhRows.selected ? "true" : "false");
    }
}

// Selects entry i and scrolls it into view, as a list box does.
function WhRowsSelect(i) {
    var box = gWhRows.box;
    var height = gWhRows.height;
    gWhRows.selected = i;
    if (i >= 0) {
        if (i * height < box.scrollTop)
            box.scrollTop = i * height;
        else if ((i + 1) * height > box.scrollTop + box.clientHeight)
            box.scrollTop = (i + 1) * height - box.clientHeight;
    }
    WhRowsDraw();
}

function WhRowsClick(event) {
    var target = (event || window.event).target;
    while (target && target.whEntry === undefined)
        target = target.parentNode;
    if (target && target.whEntry >= 0)
        WhRowsSelect(target.whEntry);
}

function WhRowsKey(event) {
    event = event || window.event;
    var last = IndexItems.length - 1;
    var page = Math.max(Math.floor(gWhRows.box.clientHeight / gWhRows.height) - 1, 1);
    var at = gWhRows.selected;
    var moves = { 38: at - 1, 40: at + 1, 33: at - page, 34: at + page, 36: 0, 35: last };
    if (event.keyCode == 13) {
        ShowMatch();
        return false;
    }
    if (!moves.hasOwnProperty(event.keyCode))
        return true;
    WhRowsSelect(Math.min(Math.max(moves[event.keyCode], 0), last));
    return false;
}

function WhRegExpText(s) {
    return String(s).replace(/[\\^$.*+?()[\]{}|\/]/g, "\\$&");
}

// The upper-cased text that places entry i in the list: a sub-entry (leading blanks) follows its
// keyword whatever its own text, so it is placed by the keyword's.
function WhOrderText(list, i) {
    while (i > 0 && WhIndexText(list, i).charAt(0) == " ")
        i--;
    return WhIndexText(list, i).toUpperCase();
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
    var count = WhIndexCount(list);
    if (!gWhIndexHeads) {
        gWhIndexHeads = [];
        for (var b = 0; b * 100 < count; b++)
            gWhIndexHeads.push(WhOrderText(list, b * 100));
    }
    // Past every bucket's first entry the text can only be in the last bucket, which starts
    // 100 before the end when the count is a multiple of 100. A bucket whose first entry is
    // the text itself may hold it from the bucket before (a keyword with many sub-entries).
    var first = Math.max(Math.floor((count - 1) / 100) * 100, 0);
    var last = count - 1;
    if (count >= 100) {
        for (var i = 0; i < gWhIndexHeads.length; i++) {
            if (gWhIndexHeads[i] >= s) {
                first = Math.max((i - 1) * 100, 0);
                last = i * 100;
                break;
            }
        }
    }
    // The typed text is a plain prefix: "c++" must not be read as a pattern.
    var prefix = new RegExp("^" + WhRegExpText(str), "i");
    for (var j = first; j <= last && j < count; j++) {
        if (prefix.test(WhIndexText(list, j))) {
            WhIndexSelect(list, j);
            return true;
        }
    }
    return false;
}

function ShowMatch() {
    var list = WhIndexList();
    if (!list || (gWhRows ? gWhRows.selected : list.selectedIndex) < 0)
        return false;
    var entry = WhIndexSelected(list);
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
