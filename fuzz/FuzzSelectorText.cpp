// The two readers of selector tables on any text: the Designer's (an imported .csv file, a
// stored table) and the runtime's (a table of a desktop tree file). What either reads must be
// written back to a text that reads to the same rows.
#include "FuzzEnvironment.h"

#include "persist/CsvTable.h"
#include "selectors/SelectorText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::prepare();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = FuzzEnvironment::text(data, size);
    SelectorText::Rows rows;
    if (SelectorText::Read(text, rows)) {
        SelectorText::Rows again;
        if (!SelectorText::Read(SelectorText::Write(rows), again) || again != rows)
            std::abort();
    }
    CsvTable::Rows table;
    if (CsvTable::parse(text, table)) {
        CsvTable::Rows again;
        if (!CsvTable::parse(CsvTable::toText(table), again) || again != table)
            std::abort();
    }
    return 0;
}
