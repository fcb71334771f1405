#pragma once
// How documents are named to the user. A tab holds a code under its title
// and a Journal of Laws act under the path of its presence file
// (".../Dzienniki Ustaw/Dz.U.2007.50.331.txt"); the user sees the act by its
// reference, "Dz.U. 2007 nr 50 poz. 331", and files are proposed under the
// names the user sees. All strings are Windows-1250.
#include <string>

// The Journal act a document name stands for, as the store names it
// ("Dz.U.2007.50.331"): from that name itself or from a presence file's
// path. Empty when the name is not a Journal act's.
std::string NazwaDziennika(const std::string& nazwa);

// What a tab, the window caption and a proposed file name show: the act's
// reference for a Journal act ("Dz.U. 2007 nr 50 poz. 331"; without "nr"
// for an act that has no issue number), any other name as it is.
std::string OpisDokumentu(const std::string& nazwa);
