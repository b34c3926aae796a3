#pragma once
// Key paths and value names of the registry compare without letter case. Each is looked up by
// its folded form: every character folded as Qt folds it for comparing without case, bytes
// that are no UTF-8 kept as they are, so distinct names never fold alike by accident.
#include <string>
#include <string_view>

std::string FoldRegName(std::string_view Name);
