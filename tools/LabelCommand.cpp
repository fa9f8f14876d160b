#include "tools/LabelCommand.h"

#include "platform/AnsiString.h"
#include "platform/RegionalSettings.h"
#include "recipe/LabelLayout.h"
#include "recipe/LabelSvg.h"
#include "recipe/NutritionDeclaration.h"
#include "recipe/RecipeSheetData.h"
#include "tools/SheetCommand.h"
#include "tools/ToolError.h"
#ifdef CIBRANO_SHEET_PDF
#include "sheet/LabelFiles.h"
#endif

#include <cerrno>
#include <cstdlib>
#include <ostream>

namespace cibrano::tool {

namespace {

double widthOption(const Options& options) {
    if (!options.widthMm)
        return kDefaultLabelWidth;
    const std::string& text = *options.widthMm;
    char* end = nullptr;
    errno = 0;
    const double mm = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(mm >= kMinLabelWidth) ||
        !(mm <= kMaxLabelWidth))
        throw UsageError("--width-mm needs the label's width in millimetres, from " +
                         std::to_string(static_cast<int>(kMinLabelWidth)) + " to " +
                         std::to_string(static_cast<int>(kMaxLabelWidth)));
    return mm;
}

} // namespace

int runLabel(const std::string& file, const Options& options, std::ostream& out,
             std::ostream& err) {
    if (!options.recipe)
        throw UsageError("label needs --recipe NAME");
    const double width = widthOption(options);
    const bool drawn = options.pdf || options.svg || options.png;
#ifndef CIBRANO_SHEET_PDF
    if (options.pdf || options.png)
        throw ToolError("this cibrano-table was built without Qt and makes no PDF or PNG; "
                        "--text and --svg work");
#endif
    const KeptRecipe kept = readKeptRecipe(file, options);
    const NutritionDeclaration declaration =
        nutritionDeclaration(kept.recipe.Nome, kept.lines, kept.recipe.Porzioni,
                             kept.recipe.PesoFinale, userLocaleSettings().decimalSeparator);
    const LabelLayout layout = labelLayout(declaration, width);
    const std::string recipeName = ansiToUtf8(kept.recipe.Nome);
    if (options.text || !drawn)
        out << ansiToUtf8(declarationText(declaration));
    // Whoever asked for files only still hears what is wrong with them.
    else
        for (const AnsiString& w : declaration.warnings)
            err << ansiToUtf8(AnsiString(kWarningPrefix) + w) << "\n";
    auto written = [&](const std::string& path, const char* what) {
        (options.text ? err : out) << path << ": " << what << " label of \"" << recipeName << "\""
                                   << (declaration.complete ? "" : ", incomplete") << "\n";
    };
    if (options.svg) {
        writeExportFile(*options.svg, labelSvg(layout));
        written(*options.svg, "SVG");
    }
#ifdef CIBRANO_SHEET_PDF
    if (options.pdf) {
        writeNutritionLabelPdf(layout, *options.pdf);
        written(*options.pdf, "PDF");
    }
    if (options.png) {
        writeNutritionLabelPng(layout, *options.png);
        written(*options.png, "PNG");
    }
#endif
    return declaration.complete ? 0 : kIncompleteStatus;
}

} // namespace cibrano::tool
