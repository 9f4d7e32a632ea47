#pragma once

#include <QString>

// The English string table, keyed by the program's string ids
// (65194 "Navigation Bar, Color 1" and so on). An unknown id gives an empty
// string.
QString chaineRes(int id);
