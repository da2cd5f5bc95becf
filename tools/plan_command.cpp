// plan: what it takes to reach a target CGPA in the coming semester, in the sentences of the
// results view's "Plan a target CGPA", or as one JSON object.
#include "commands.h"

#include <nlohmann/json.hpp>

#include "grade_scale.h"
#include "planner.h"
#include "summary.h"

namespace companion {

namespace {

using Json = nlohmann::ordered_json;

Json TextOrNull(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

const char* StateWord(PlanState state) {
    switch (state) {
    case PlanState::Reached: return "reached";
    case PlanState::Reachable: return "reachable";
    case PlanState::Unreachable: return "unreachable";
    }
    return "unreachable";
}

std::string PlanJson(const PlanStart& start, const PlanQuestion& question,
                     const PlanAnswer& answer) {
    const bool reachable = answer.State == PlanState::Reachable;
    Json mix = nullptr;
    if (answer.Mix) {
        mix = {{"grade", GradeLetter(answer.Grade)},
               {"count", answer.Mix->Subjects.size()},
               {"subjects", answer.Mix->Subjects},
               {"others", GradeLetter(answer.Grade + 1)},
               {"cgpa", answer.Mix->Cgpa}};
    }
    const Json json = {{"cgpa_now", TextOrNull(start.CgpaNow)},
                       {"credits_now", start.CreditsNow},
                       {"target", HundredthsText(question.Target)},
                       {"semester", question.Semester + 1},
                       {"credits", question.Credits},
                       {"best", answer.Best},
                       {"worst", answer.Worst},
                       {"state", StateWord(answer.State)},
                       {"grade", reachable ? Json(GradeLetter(answer.Grade)) : Json(nullptr)},
                       {"grade_cgpa", TextOrNull(answer.GradeCgpa)},
                       {"mix", mix},
                       {"average", TextOrNull(answer.Average)}};
    return json.dump(2) + '\n';
}

} // namespace

int Plan(const std::string& path, int target, int semester, const std::vector<int>& credits,
         bool json, std::ostream& out, std::ostream& err) {
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    PrintWarnings(path, report, SummarizeRecords(0).PassedOver, err);
    const PlanStart start = StartOfPlan(RecordTable);
    const PlanQuestion question{target, semester == 0 ? start.Semester : semester - 1,
                                credits.empty() ? start.Credits : credits};
    const PlanAnswer answer = PlanTarget(RecordTable, question);
    if (json) {
        out << PlanJson(start, question, answer);
        return CliExitOk;
    }
    std::string text = NowSentence(start) + '\n';
    for (const std::string& sentence : AnswerSentences(question, answer)) {
        text += sentence + '\n';
    }
    out << text;
    return CliExitOk;
}

} // namespace companion
