// The workbook path without a file: the bytes as an archive (central
// directory, members, the parts the reader takes), then the sheet scan.
#include <string>
#include <vector>

#include "core/ansi_text.h"
#include "batchkml/data_table.h"
#include "batchkml/xlsx_reader.h"
#include "core/zip_reader.h"
#include "fuzz_support.h"

namespace {

// Small enough for the fuzzer's memory limit, large enough for the seeds.
constexpr uint64_t kLimit = 8u << 20;

void checkRead(const kit::XlsxParts& parts) {
    kit::DataTable table;
    bool ok = kit::readXlsxParts(parts, table);
    FUZZ_CHECK(ok == !table.headers.empty());
    for (const auto& row : table.rows) {
        FUZZ_CHECK(!row.empty() && row.size() <= 16384);
        for (const auto cell : row) FUZZ_CHECK(kit::isValidUtf8(cell));
    }
    for (const auto cell : table.headers) FUZZ_CHECK(kit::isValidUtf8(cell));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes = kit::fuzz::asText(data, size);
    kit::ZipArchive archive(bytes);
    if (archive.ok()) {
        for (const kit::ZipEntry& e : archive.entries()) {
            std::string out;
            kit::ZipStatus s = archive.extract(e.name, kLimit, out);
            if (s == kit::ZipStatus::Ok) {
                // A member inflates to exactly its declared size (the first
                // entry of a repeated name is the one extracted).
                for (const kit::ZipEntry& first : archive.entries()) {
                    if (first.name != e.name) continue;
                    FUZZ_CHECK(out.size() == first.uncompressedSize && out.size() < kLimit);
                    break;
                }
            } else {
                FUZZ_CHECK(out.empty());
            }
        }
        kit::XlsxParts parts;
        bool found = kit::collectXlsxParts(
            [&](std::string_view name, std::string& out) {
                switch (archive.extract(name, kLimit, out)) {
                case kit::ZipStatus::Ok: return kit::PartStatus::Found;
                case kit::ZipStatus::Missing: return kit::PartStatus::Missing;
                default: return kit::PartStatus::Unusable;
                }
            },
            parts);
        if (found) checkRead(parts);
    }
    // The same bytes as shared strings and sheet XML directly.
    auto [shared, sheet] = kit::fuzz::splitInTwo(bytes);
    checkRead({std::string(shared), std::string(sheet)});
    return 0;
}
