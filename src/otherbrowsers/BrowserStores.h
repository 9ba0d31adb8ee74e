// What each part of a cleaning covers in a profile of each family of today's browsers: the
// databases with the steps that clean them, the folders whose contents go, the files that go,
// and the folders of websites' caches. Plain data; BrowserCleaning.cpp runs it.
#pragma once

#include "otherbrowsers/BrowserCleaning.h"
#include "otherbrowsers/BrowserProfiles.h"

#include <string>
#include <vector>

// A table and the columns a statement reads or writes in it.
struct TableColumns {
    std::string table;
    std::vector<std::string> columns;
};

struct CleaningStep {
    // Every table (with its columns) the statements use, the one cleaned first.
    std::vector<TableColumns> uses;
    std::string count;  // what would go (Preview)
    std::string remove; // what goes
    bool counts = true; // whether its rows count as removed items
    // The table cleaned is there in some versions of the browser only; where it is missing
    // there is nothing to clean. Any other table or column missing leaves the step undone and
    // the database cleaned in part.
    bool optional = false;
};

// Where a database of icons learns which pages keep theirs.
enum class KeptPages { None, Places, BookmarksFile };

struct DatabaseStore {
    std::string path;
    // Tables (with columns) that must be there, else the database is left alone.
    std::vector<TableColumns> required;
    std::vector<CleaningStep> steps;
    bool filtersHosts = false;
    std::string keptCount; // rows kept on purpose (cookies of kept sites)
    KeptPages keptPages = KeptPages::None;
    // The places database, or the Bookmarks files (the profile's and the account's), naming
    // the kept pages.
    std::vector<std::string> keptFrom;
};

struct ProfileStores {
    std::vector<DatabaseStore> databases;
    std::vector<std::string> folders;    // whose contents go, the folders staying
    std::vector<std::string> files;      // that go
    std::vector<std::string> siteCaches; // folders of websites' caches, one folder a site
};

// What `part` covers in a profile of the family; every path ends in a backslash if it is a
// folder. Nothing is looked at: what is not there is passed over by the cleaning.
ProfileStores StoresOf(BrowserFamily family, const BrowserProfile& profile, BrowserPart part);
// Every database of a profile, whatever the part.
std::vector<std::string> DatabasesOf(BrowserFamily family, const BrowserProfile& profile);
