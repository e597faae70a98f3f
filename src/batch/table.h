// A plain text table with aligned columns, for terminal output.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

class TextTable {
public:
    enum class Align { Left, Right };
    explicit TextTable(std::vector<std::string> header, std::vector<Align> align);
    void addRow(std::vector<std::string> cells);
    // Columns separated by two blanks; trailing blanks dropped.
    void print(std::ostream& out) const;

private:
    std::vector<std::string> header_;
    std::vector<Align> align_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace orvane
