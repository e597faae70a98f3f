#include "batch/table.h"

#include <algorithm>
#include <stdexcept>

namespace orvane {

TextTable::TextTable(std::vector<std::string> header, std::vector<Align> align)
    : header_(std::move(header)), align_(std::move(align))
{
    if (align_.size() != header_.size()) throw std::invalid_argument("TextTable: one alignment per column");
}

void TextTable::addRow(std::vector<std::string> cells)
{
    cells.resize(header_.size());
    rows_.push_back(std::move(cells));
}

void TextTable::print(std::ostream& out) const
{
    std::vector<std::size_t> width(header_.size());
    for (std::size_t c = 0; c < header_.size(); ++c) {
        width[c] = header_[c].size();
        for (const auto& row : rows_) width[c] = std::max(width[c], row[c].size());
    }
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const std::string pad(width[c] - cells[c].size(), ' ');
            if (c > 0) text += "  ";
            text += align_[c] == Align::Right ? pad + cells[c] : cells[c] + pad;
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    };
    line(header_);
    for (const auto& row : rows_) line(row);
}

}  // namespace orvane
