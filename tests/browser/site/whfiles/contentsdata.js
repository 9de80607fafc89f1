var ContentItems = [
	["Getting Started", "source/html/start.htm", "1",
		["Install", "source/html/install.htm", "11"],
		["Notes", null, "11"],
		["Setup \u4e2d\u6587 <b>", "source/html/setup.htm", "11"]
	],
	["Concepts", null, "1",
		["Overview", "source/html/overview.htm", "11"],
		["Deep", "source/html/deep.htm", "1",
			["Leaf", "source/html/leaf.htm", "11"]
		]
	],
	["Reference", "source/html/ref.htm", "11"],
	["Appendix", null, "11"]
];

var gInitURL = "source/html/start.htm"
