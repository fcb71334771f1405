#pragma once
// lumesta-tool commands of the data packer:
//   pack SOURCES OUT       pack every *.txt of SOURCES into OUT
//                          (and group the dictionary's words by their stems for
//                          the library search, into OUT/Morvitane.rdz)
//   stems DICTIONARY       group a dictionary's words by their stems (beside it)
//   verify SOURCES OUT     decode OUT's data and compare it with SOURCES
//   generate OUT [--bytes N] [--seed S] [--codes K] [--acts A]
//                          write a synthetic library of source texts
// Each takes the words after the command name and returns the exit code:
// 0 success, 1 failure (reasons on standard error), 2 wrong usage.
#include <string>
#include <vector>

int PackCommand(const std::vector<std::string>& args);
int StemsCommand(const std::vector<std::string>& args);
int VerifyCommand(const std::vector<std::string>& args);
int GenerateCommand(const std::vector<std::string>& args);
