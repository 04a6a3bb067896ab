#pragma once
#include <string>

// The folder the running program lives in.
std::string programDirectory();

// True when dir/web/index.html exists (a folder of that name counts).
bool hasWebPage(const std::string& dir);

// The program's folder, else its parent, else its grandparent (untested: start-up then reports
// the missing page with that path). An installed layout and a build tree both resolve.
std::string findAppBaseDir(const std::string& programDir);
