// CSV and JSON export of a loaded result file.
#include "export.h"

#include <array>
#include <cstdint>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "summary.h"

namespace {

// Windows-1252 0x80..0x9F; the five bytes it leaves undefined stand for the C1 controls.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the UTF-8 sequence at the start of text, or 0 when none starts there
// (overlong forms, surrogates and code points past U+10FFFF are not UTF-8).
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, code = lead & 0x1FU;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, code = lead & 0x0FU;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, code = lead & 0x07U;
    }
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3FU);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < min || surrogate || code > 0x10FFFF ? 0 : length;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Quality points as the two-decimal figure that is printed, so CSV and JSON agree.
std::string PointsText(double points) {
    return FormatTwoDecimals(points);
}
double PointsValue(double points) {
    return std::strtod(PointsText(points).c_str(), nullptr);
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + '"';
}

std::string CsvRow(std::initializer_list<std::string> fields) {
    std::string row;
    const char* separator = "";
    for (const std::string& field : fields) {
        row += separator + CsvField(field);
        separator = ",";
    }
    return row + "\r\n";
}

} // namespace

std::string ToUtf8(std::string_view text) {
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t length = Utf8SequenceLength(rest);
        if (length == 0) {
            break;
        }
        rest.remove_prefix(length);
    }
    if (rest.empty()) {
        return std::string(text);
    }
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : byte);
    }
    return out;
}

std::string FormatCsv(const ExportData& data) {
    std::string csv = CsvRow(
        {"Row", "Semester", "Subject", "Credits", "Grade", "Quality points", "GPA", "Verdict"});
    for (const ExportSemester& semester : data.Semesters) {
        for (const ExportSubject& subject : semester.Subjects) {
            csv += CsvRow({"subject", semester.Label, ToUtf8(subject.Name),
                           std::to_string(subject.Credits), subject.Grade,
                           PointsText(subject.QualityPoints), "", ""});
        }
        csv += CsvRow({"semester", semester.Label, "", std::to_string(semester.Credits), "",
                       PointsText(semester.QualityPoints), semester.Gpa, semester.Verdict});
    }
    csv += CsvRow({"cgpa", "", "", std::to_string(data.Credits), "", PointsText(data.QualityPoints),
                   data.Cgpa, ""});
    return csv;
}

std::string FormatJson(const ExportData& data) {
    nlohmann::ordered_json semesters = nlohmann::ordered_json::array();
    for (const ExportSemester& semester : data.Semesters) {
        nlohmann::ordered_json subjects = nlohmann::ordered_json::array();
        for (const ExportSubject& subject : semester.Subjects) {
            // cppcheck-suppress useStlAlgorithm
            subjects.push_back({{"subject", ToUtf8(subject.Name)},
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
