#include "engine/Plan.h"

#include "base/Convert.h"
#include "base/Main.h"
#include "text/Operations.h"

#include <cmath>
#include <optional>

namespace Engine {

QString ResultPath(bool toFolder, const QString &outputFolder, const QString &inputPath) {
    // In place, the folder keeps its separator, so the doubled one collapses: the result
    // replaces the input file.
    return Main::CollapseBackslashes((toFolder ? outputFolder : Main::GetFolderPath(inputPath)) +
                                     Main::NativeSeparator + Main::GetFileName(inputPath));
}

void PrepareMatcher(Plan &plan, const QString &conditionText, const QString &chooserText) {
    const Operations::Loop loop = Operations::LoopFor(chooserText);
    const bool usesCondition =
        loop != Operations::Loop::LineNumber && loop != Operations::Loop::BlankLines;
    if (plan.replacing || (plan.match.any() && usesCondition))
        plan.matcher = Operations::Matcher::Compile(conditionText, plan.match, plan.replacing,
                                                    plan.replacement);
    else
        plan.matcher.reset();
}

long long LineNumberFromAnswer(const QString &answer) {
    const std::optional<double> number = Convert::ToDouble(answer);
    if (!number)
        return 0;
    const double rounded = Convert::RoundHalfEven(*number);
    // Beyond the 64-bit range no file has such a line.
    if (!(std::fabs(rounded) < 9223372036854775808.0))
        return 0;
    return static_cast<long long>(rounded);
}

}  // namespace Engine
