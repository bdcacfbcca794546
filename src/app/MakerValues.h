#pragma once

// The maker's own values, kept together because the links, the status bar, the about box, the
// update dialog and the error message all use them.
namespace Maker {

inline constexpr char host[] = "www.quorvane.com";        // every web address of the maker
inline constexpr char siteName[] = "Quorvane.com";        // the web site's name as users see it
inline constexpr char slogan[] = "Software that adds up"; // ends the status bar's tagline
inline constexpr char company[] = "Quorvane Software";
inline constexpr char mailDomain[] = "quorvane.com";
inline constexpr char supportAddress[] = "support@quorvane.com";

// The full home page address that the about box's logo opens (no referral tag).
inline constexpr char homePage[] = "http://www.quorvane.com/index.htm?source=ksv1200about";

// The version page that the update check reads.
inline constexpr char versionPage[] = "http://www.quorvane.com/kestrava.htm";

struct Site
{
    const char* caption;
    const char* host;
};

// The two partner sites of the "on the Web" submenu; each opens its index page.
inline constexpr Site partners[] = {
    {"&Ledgerwick Finance Reviews", "www.ledgerwick.com"},
    {"&Tallyburn Software Library", "www.tallyburn.net"},
};

struct Product
{
    const char* caption;
    const char* page; // path on the maker's host, without the leading "/"
};

inline constexpr char otherProductsCaption[] = "&Download Other Quorvane Programs";

// The maker's six other products, each with its page on the maker's site.
inline constexpr Product products[] = {
    {"Quorvane &Amortizer", "amortizer.htm"},       {"Quorvane &Budget Planner", "budget.htm"},
    {"Quorvane &Mortgage Compare", "mortcomp.htm"}, {"Quorvane &Savings Goal", "savings.htm"},
    {"Quorvane &Retirement Planner", "retire.htm"}, {"Quorvane &Currency Pad", "currpad.htm"},
};

// The product that the hidden product-information entry names.
inline constexpr char productInfoCaption[] = "Quorvane Amortizer &Information";

} // namespace Maker
