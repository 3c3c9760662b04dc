// libFuzzer entry for the NTFS byte parsers, built natively (scripts/fuzz-ntfs.sh): one input
// is taken as a table record, as a run list and as a boot sector.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/fs/ntfs/fixup.h"
#include "core/fs/ntfs/mft_record.h"
#include "core/fs/ntfs/run_list.h"
#include "core/fs/ntfs/volume_geometry.h"

using namespace purvex::core::ntfs;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> record(data, data + size);
    if (HasValidRecordHeader(record) && ApplyFixups(record) == FixupResult::Ok) {
        const RecordSummary summary = SummarizeRecord(record);
        volatile std::size_t sink = summary.name.size() + summary.nameLength;
        (void)sink;
        AttributeWalker walker(record);
        Attribute attr;
        std::vector<Extent> extents;
        while (walker.Next(attr)) {
            if (attr.nonResident) {
                (void)DecodeRunList(attr.runList, attr.startVcn, extents);
            }
        }
    }
    std::vector<Extent> extents;
    if (size > 8) {
        std::uint64_t start = 0;
        for (int i = 0; i < 8; ++i) {
            start |= std::uint64_t{data[i]} << (8 * i);
        }
        (void)DecodeRunList({data + 8, size - 8}, start, extents);
    }
    (void)GeometryFromBootSector({data, size});
    return 0;
}
