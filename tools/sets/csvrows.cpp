#include "csvrows.h"

#include <csv.h>

namespace montera::sets {

namespace {

// Collects the records that libcsv reports, with the table line where each
// starts. With CSV_REPALL_NL every line end outside a cell is reported as a
// record end of its own, so empty lines count too; a CR LF pair is one line
// end.
struct Collector {
    std::vector<CsvRow> rows;
    CsvRow current;
    int line = 1;         // the line the parser has reached
    bool afterCr = false; // the last line end was a CR, so an LF now ends nothing
    bool rowStarted = false;

    static void onCell(void* data, size_t size, void* context)
    {
        auto& self = *static_cast<Collector*>(context);
        const QByteArray cell(static_cast<const char*>(data), qsizetype(size));
        if (!self.rowStarted) {
            self.rowStarted = true;
            self.current.line = self.line;
        }
        // A quoted cell may hold line ends of its own.
        self.afterCr = false;
        for (qsizetype i = 0; i < cell.size(); ++i) {
            if (cell[i] == '\r' || (cell[i] == '\n' && (i == 0 || cell[i - 1] != '\r')))
                ++self.line;
        }
        self.current.cells.push_back(cell);
    }

    static void onRowEnd(int terminator, void* context)
    {
        auto& self = *static_cast<Collector*>(context);
        if (self.rowStarted)
            self.rows.push_back(std::move(self.current));
        self.current = CsvRow();
        self.rowStarted = false;
        if (terminator == '\r' || (terminator == '\n' && !self.afterCr))
            ++self.line;
        self.afterCr = terminator == '\r';
    }
};

} // namespace

CsvRows readCsvRows(QByteArrayView body, unsigned char delimiter, int firstLine)
{
    csv_parser parser;
    csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL);
    // Keep every cell as it stands: no blank is trimmed.
    csv_set_space_func(&parser, [](unsigned char) { return 0; });
    csv_set_delim(&parser, delimiter);
    Collector collector;
    collector.line = firstLine;
    const size_t parsed = csv_parse(&parser, body.data(), size_t(body.size()), Collector::onCell,
                                    Collector::onRowEnd, &collector);
    const bool complete = parsed == size_t(body.size()) &&
                          csv_fini(&parser, Collector::onCell, Collector::onRowEnd, &collector) == 0;
    csv_free(&parser);
    CsvRows result;
    result.rows = std::move(collector.rows);
    result.complete = complete;
    result.brokenLine = collector.rowStarted ? collector.current.line : collector.line;
    return result;
}

QString cellText(const QByteArray& cell, TextEncoding encoding)
{
    QString text = decodeText(cell, encoding);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace montera::sets
