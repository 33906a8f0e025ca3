#include "cli/import_command.h"

#include "app/project_commands.h"
#include "cli/cli_commands.h"
#include "cli/file_checks.h"
#include "cli/json_output.h"
#include "model/project.h"

namespace {

Json ReasonJson(const CImportReason& reason) {
    return Json{{"count", reason.count}, {"lines", reason.lines}};
}

const char* SeparatorName(char separator) {
    switch (separator) {
        case ',':
            return "comma";
        case ';':
            return "semicolon";
        case '\t':
            return "tab";
        case '|':
            return "bar";
        case ' ':
            return "blanks";
        default:
            return "commas and blanks";
    }
}

Json ImportReportJson(const CImportReport& report) {
    return Json{{"name", report.name},
                {"lines", report.lines},
                {"points", report.points},
                {"skipped", report.skipped},
                {"blank", ReasonJson(report.blank)},
                {"no_date", ReasonJson(report.noDate)},
                {"bad_date", ReasonJson(report.badDate)},
                {"bad_value", ReasonJson(report.badValue)},
                {"merged", ReasonJson(report.merged)},
                {"out_of_order", ReasonJson(report.outOfOrder)},
                {"separator", SeparatorName(report.separator)},
                {"decimal_mark", std::string(1, report.decimalMark)},
                {"date_order", report.dateOrder == 1   ? "month-first"
                               : report.dateOrder == 2 ? "year-first"
                                                       : "day-first"},
                {"date_order_guessed", report.dateOrderGuessed},
                {"date_numbers", report.dateNumbers},
                {"time_column", report.timeColumn},
                {"encoding", report.encoding},
                {"bad_month", ReasonJson(report.badMonth)},
                {"partial", report.refusal}};
}

// What the user can change on this command line after a refusal.
std::string ImportHint(const CImportReport& report) {
    if (report.refusal.empty() || report.points == 0) {
        return "";
    }
    return report.mayForce ? " (--allow-partial imports the rows read)"
                           : " (--decimal-mark . or --decimal-mark ,)";
}

}  // namespace

int RunImport(const CImportOptions& options) {
    CProject project;
    CProjectCommands commands(project);
    // A project written over the project it extends is an ordinary save; over the raw data, a loss.
    CStatus status = CheckInputFile(options.rawPath);
    if (status) {
        status = CheckOutputIsNotInput(options.outPath, options.rawPath);
    }
    if (status && !options.intoPath.empty()) {
        status = LoadProject(commands, options.intoPath);
    }
    if (!status) {
        return Fail(status);
    }
    CImportChoices choices;
    choices.datesColumn = options.datesColumn;
    choices.valuesColumn = options.valuesColumn;
    choices.decimalMark = options.decimalMark.empty() ? 0 : options.decimalMark.front();
    choices.dateOrder = options.dateOrder == "dmy"   ? 0
                        : options.dateOrder == "mdy" ? 1
                        : options.dateOrder == "ymd" ? 2
                                                     : -1;
    choices.allowPartial = options.allowPartial;
    CImportReport report;
    const CStatus imported = commands.ImportRawData(options.rawPath, choices, &report);
    if (!imported) {
        return Fail(imported.Reason() + ImportHint(report));
    }
    if (options.intoPath.empty()) {
        commands.ResetWindow();  // Limits, as a user would after a first import
    }
    if (const CStatus saved = SaveProject(commands, options.outPath); !saved) {
        return Fail(saved);
    }
    const CDataSet& ds = *report.dataSet;
    Json json = ImportReportJson(report);
    json["first"] = OptionalDate(ds, false);
    json["last"] = OptionalDate(ds, true);
    Print(json);
    return 0;
}
