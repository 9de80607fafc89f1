var IndexItems = [
["alpha", "source/html/start.htm"],
["beta", "source/html/setup.htm"],
["c++ language", "source/html/ref.htm"],
["fonts", "source/html/overview.htm"],
[" size", "source/html/install.htm"],
["install", "source/html/install.htm"],
["printing", ""],
[" Print a page", "source/html/ref.htm"],
["setup", "source/html/setup.htm"],
["typefaces", "@@@fonts"],
["\u4e2d\u6587", "source/html/setup.htm"]];

