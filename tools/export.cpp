// JSON export of a loaded result file.
#include "export.h"

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "encoding.h"

namespace {

// Quality points as the two-decimal figure that the CSV prints, so CSV and JSON agree.
double PointsValue(double points) {
    return std::strtod(FormatTwoDecimals(points).c_str(), nullptr);
}

} // namespace

std::string FormatJson(const ExportData& data, unsigned codePage) {
    nlohmann::ordered_json semesters = nlohmann::ordered_json::array();
    for (const ExportSemester& semester : data.Semesters) {
        nlohmann::ordered_json subjects = nlohmann::ordered_json::array();
        for (const ExportSubject& subject : semester.Subjects) {
            // cppcheck-suppress useStlAlgorithm
            subjects.push_back({{"subject", Utf8FromStoredText(subject.Name, codePage)},
                                {"credits", subject.Credits},
                                {"grade", subject.Grade},
                                {"quality_points", PointsValue(subject.QualityPoints)}});
        }
        semesters.push_back({{"semester", semester.Label},
                             {"subjects", subjects},
                             {"credits", semester.Credits},
                             {"quality_points", PointsValue(semester.QualityPoints)},
                             {"gpa", semester.Gpa},
                             {"verdict", semester.Verdict}});
    }
    nlohmann::ordered_json cgpa = nullptr;
    if (!data.Cgpa.empty()) {
        cgpa = data.Cgpa;
    }
    const nlohmann::ordered_json json = {{"semesters", semesters},
                                         {"credits", data.Credits},
                                         {"quality_points", PointsValue(data.QualityPoints)},
                                         {"cgpa", cgpa}};
    return json.dump(2) + '\n';
}
