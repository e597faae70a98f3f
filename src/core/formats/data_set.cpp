#include "formats/data_set.h"

#include "formats/dlmread.h"
#include "base/interp.h"
#include "base/error.h"
#include "base/text.h"

namespace orvane {

DataSet readDataSet(const std::string& path)
{
    const DataTable table = readDataTable(path);
    if (table.values.rows == 0)
        throw ColumnCountError(path, 0, "holds no line of numbers; two columns (abscissa, ordinate) are needed.");
    if (table.values.cols != 2)
        throw ColumnCountError(path, table.lines.front(),
                               std::to_string(table.values.cols) + (table.values.cols == 1 ? " column" : " columns") +
                                   " of numbers; two (abscissa, ordinate) are needed.");
    DataSet set{table.values.column(0), table.values.column(1), table.lines};
    const std::size_t bad = findUnusableAbscissa(set.abscissa);
    if (bad != static_cast<std::size_t>(-1)) {
        const double now = set.abscissa[bad], before = set.abscissa[bad - 1];
        const std::string what = now < before
            ? "the abscissa " + num2str(now) + " is smaller than the one before it (" + num2str(before) + "); abscissae must increase."
            : "the last sample repeats the abscissa " + num2str(now) + " of the sample before it.";
        throw DataFileError(path, table.lines[bad], what);
    }
    return set;
}

}  // namespace orvane
