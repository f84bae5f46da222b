// Counts a keyword file of 1,000,000 lines with the line reader and splits it
// with the text splitter; both are reported against `wc -l` on the same file.
#include "support/timing.h"
#include "text/line_reader.h"
#include "text/text_splitter.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

using namespace vellumax;

int main(int argc, char** argv)
{
    const long lineCount = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    const std::string path = "/tmp/vellumax-bench-keywords.txt";
    {
        std::ofstream out(path, std::ios::binary);
        // GBK keywords of a realistic length: "<city>传真 <n>", about 20 bytes.
        const char* cities[] = {"\xC9\xCF\xBA\xA3", "\xB1\xB1\xBE\xA9", "\xB9\xE3\xD6\xDD", "\xCB\xD5\xD6\xDD"};
        for (long i = 0; i < lineCount; ++i)
            out << cities[i % 4] << "\xB4\xAB\xD5\xE6 fax " << i << "\r\n";
    }

    const double wc = bench::medianCommandSeconds(5, "wc -l " + path);
    long counted = 0;
    const double reader = bench::medianSeconds(5, [&] {
        LineReader r(path);
        std::string line;
        counted = 0;
        while (!r.atEnd()) {
            r.readLine(line);
            ++counted;
        }
    });
    size_t split = 0;
    const double splitter = bench::medianSeconds(5, [&] { split = loadTextLines(path).size(); });

    std::printf("lines: %ld (reader %ld, splitter %zu)\n", lineCount, counted, split);
    std::printf("wc -l:         %8.3f s\n", wc);
    std::printf("line reader:   %8.3f s  (%.2f x wc -l)\n", reader, reader / wc);
    std::printf("text splitter: %8.3f s  (%.2f x wc -l)\n", splitter, splitter / wc);
    ::unlink(path.c_str());
    return (counted == lineCount && split == static_cast<size_t>(lineCount)) ? 0 : 1;
}
