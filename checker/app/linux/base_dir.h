#pragma once
#include <string>

// The folder the running program lives in.
std::string programDirectory();

// Where an installed checker's page lives: <datadir>/velmora-checker, with the data folder the
// build was configured for (/usr/share for the Debian package).
std::string installedDataDirectory();

// True when dir/web/index.html exists (a folder of that name counts).
bool hasWebPage(const std::string& dir);

// The program's folder, else its parent, else its grandparent, else the installed data folder;
// with no page in any of them the grandparent (untested: start-up then reports the missing page
// with that path). A build tree, the per-user layout and the installed package all resolve.
std::string findAppBaseDir(const std::string& programDir,
                           const std::string& dataDir = installedDataDirectory());
