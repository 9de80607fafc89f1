// Flat list of the contents entries' addresses, in tree order (null for an entry without a page);
// an entry's number in the tree is its index here.

function getfilesarray(x) {
    var result = [];
    WhAppendFiles(x, result);
    return result;
}

function WhAppendFiles(x, result) {
    if (x == null)
        return;
    for (var i = 0; i < x.length; i++) {
        var item = x[i];
        if (item == null || Array.isArray(item))
            WhAppendFiles(item, result);
        else if (i % 3 == 0)
            result.push(x[i + 1]);
    }
}

var ContentFiles = getfilesarray(typeof ContentItems != "undefined" ? ContentItems : null);
