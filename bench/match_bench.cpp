// Times the condition search over one line of 10 MB with a condition of 3,000 characters, in
// shapes that make a search which compares the condition afresh at every candidate place take
// as long as the product of the two lengths: the line is the condition's start over and over,
// so that nearly every place matches all but the condition's last character. Each shape is
// searched as all ASCII (the byte search), with a Kelvin sign in the line (the search by
// characters) and with letters above ASCII (the search anchored on such a letter), and in a
// line that is not UTF-8 (the code page's byte search). Prints the median of five in seconds.
//
// usage: strelmark_bench_match [--size BYTES] [--text CHARACTERS]

#include "text/TextMatch.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace Operations;

namespace {

double Seconds(const Pattern &pattern, const std::string &line, bool &found) {
    std::vector<double> times;
    for (int rep = 0; rep < 5; ++rep) {
        const auto start = std::chrono::steady_clock::now();
        Line l(line);
        found = pattern.find(l).found();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char **argv) {
    std::size_t size = 10'000'000, length = 3000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--size") == 0)
            size = std::strtoull(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--text") == 0)
            length = std::strtoull(argv[i + 1], nullptr, 10);
    }
    struct Shape {
        const char *name;
        QString letter;    // of the condition, all but its last character
        std::string unit;  // of the line, repeated
        std::string tail;  // the line's end
    };
    const std::vector<Shape> shapes = {
        {"ASCII", QStringLiteral("a"), "A", ""},
        {"Kelvin sign", QStringLiteral("k"), "\xE2\x84\xAA", ""},
        {"above ASCII", QStringLiteral("\u00E9"), "\xC3\x89", ""},
        {"code page", QStringLiteral("\u00E9"), "\xC9", "\xFF"},
    };
    std::printf("%-12s %10s %8s  %s\n", "shape", "line", "text", "seconds (median of 5)");
    for (const Shape &shape : shapes) {
        std::string line;
        while (line.size() + shape.unit.size() <= size)
            line += shape.unit;
        line += shape.tail;
        // All of the condition but its middle matches at nearly every place.
        QString text = QString(shape.letter).repeated(qsizetype(length / 2));
        text += u'x';
        text += QString(shape.letter).repeated(qsizetype(length - length / 2 - 1));
        const Pattern pattern(text);
        bool found = false;
        const double seconds = Seconds(pattern, line, found);
        std::printf("%-12s %10zu %8zu  %.4f%s\n", shape.name, line.size(), length, seconds,
                    found ? " (found)" : "");
    }
    return 0;
}
