#pragma once
// How to reach the maker, shown by the about box and written into the product's uninstall
// registration. Plain narrow string literals, so that the resource compiler reads them too;
// C++ code widens them with L"" prefixes.
#define VT_MAKER_ADDRESS "Vantor & Lind SA\n14, rue des Tanneurs\n67000 Strasbourg, France"
#define VT_MAKER_TELEPHONE "+33 3 88 52 40 10"
#define VT_MAKER_FAX "+33 3 88 52 40 19"
#define VT_MAKER_EMAIL "contact@vantor-lind.example"
#define VT_MAKER_WEB "www.vantor-lind.example"
