// show: one semester as the results view shows it.
#include "commands.h"

#include "summary.h"

namespace companion {

int Show(const std::string& path, int semester, std::ostream& out, std::ostream& err) {
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    const int s = semester - 1;
    const SummarySlots slots = SummarizeRecords(s);
    const GpaResult gpa = SemesterGpa(s);
    const std::string cgpa = ComputeCumulative();
    PrintWarnings(path, report, slots.PassedOver, err);
    std::string text;
    for (int slot = 0; slot < SummarySlotCount; ++slot) {
        text += "slot\t" + std::to_string(slot + 1) + '\t';
        const auto& row = slots.Slots[static_cast<std::size_t>(slot)];
        if (row) {
            text += WithoutLineFeed(row->Subject);
            text += '\t';
            text += row->Credits;
            text += '\t';
            text += row->Grade;
        } else {
            text += "\t\t";
        }
        text += '\n';
    }
    text += "gpa\t" + gpa.Text + '\n';
    text += std::string("verdict\t") + VerdictWord(gpa.Verdict) + '\n';
    text += "cgpa\t" + cgpa + '\n';
    out << text;
    return CliExitOk;
}

} // namespace companion
