/// Throughput benchmark: scan+format, scan+compress and trim on a generated ~20 MB page,
/// beside one plain pass over the bytes as the floor. Each measurement runs in its own child
/// process so that its peak memory can be reported. "--page FILE [MB]" writes the generated
/// page instead, "--count FILE" is the floor as a whole process (bench/compare uses both).
#include "engine/Engine.h"
#include "style/StyleFiles.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zenkel;

namespace {

std::string generateDocument(std::size_t targetBytes)
{
    std::mt19937 rng(42);
    const char* words[] = {"garden", "the", "of", "seedlings", "compost", "and", "meeting",
        "library", "tomatoes", "with", "a", "club", "members", "every"};
    auto sentence = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            if (i)
                s += ' ';
            const int r = static_cast<int>(rng() % 20);
            if (r == 0)
                s += "<b>" + std::string(words[rng() % 14]) + "</b>";
            else if (r == 1)
                s += "<a href=\"page" + std::to_string(rng() % 100) + ".htm\">link text</a>";
            else
                s += words[rng() % 14];
        }
        return s;
    };
    std::string doc = "<html>\n<head>\n<title>Benchmark page</title>\n"
                      "<style>\n body { margin: 0 }\n td { padding: 2px }\n</style>\n</head>\n"
                      "<body>\n";
    while (doc.size() < targetBytes) {
        doc += "<!-- section " + std::to_string(doc.size()) + " -->\n";
        doc += "<table width=\"100%\" border=0>\n";
        for (int r = 0; r < 4; ++r) {
            doc += "  <tr>\n    <td><img src=\"a.gif\" width=10></td>\n    <td valign=top>\n";
            doc += "      <table><tr><td>" + sentence(6) + "</td></tr></table>\n";
            doc += "      <p>" + sentence(60) + "</p>\n    </td>\n  </tr>\n";
        }
        doc += "</table>\n<h2>" + sentence(4) + "</h2>\n";
        doc += "<p>" + sentence(120) + "\n" + sentence(80) + "</p>\n";
        doc += "<script type=\"text/javascript\">\nfunction f(x) {\n\treturn x < "
               "3;\n}\n</script>\n";
        doc += "<pre>\n  keep   this\n\tand this\n</pre>\n";
        doc += "<ul>\n<li>" + sentence(8) + "\n<li>" + sentence(10) + "\n</ul>\n";
    }
    doc += "</body>\n</html>\n";
    return doc;
}

struct Measurement
{
    double seconds;
    long peakKiB;
    std::size_t outputBytes;
};

std::size_t g_outputBytes = 0; ///< set by the work of a child for its report

/// Runs prepare once and then work three times in a child process; reports the best time
/// and the child's peak memory.
Measurement measure(const std::function<void()>& prepare, const std::function<void()>& work)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(1);
    const pid_t child = fork();
    if (child == 0) {
        prepare();
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            const auto start = std::chrono::steady_clock::now();
            work();
            best = std::min(best,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        Measurement m {best, usage.ru_maxrss, g_outputBytes};
        if (write(pipeFds[1], &m, sizeof m) != static_cast<ssize_t>(sizeof m))
            _exit(1);
        _exit(0);
    }
    Measurement m {};
    if (read(pipeFds[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m))
        std::exit(1);
    waitpid(child, nullptr, 0);
    close(pipeFds[0]);
    close(pipeFds[1]);
    return m;
}

} // namespace

/// --page FILE [MB]: writes the generated page, so whole processes can be measured on it.
int writePage(const char* path, std::size_t megabytes)
{
    const std::string doc = generateDocument(megabytes << 20);
    std::FILE* f = std::fopen(path, "wb");
    if (!f || std::fwrite(doc.data(), 1, doc.size(), f) != doc.size() || std::fclose(f) != 0) {
        std::perror(path);
        return 1;
    }
    return 0;
}

/// --count FILE: the floor as a whole process: read the file, one pass counting "<".
int countOpenBrackets(const char* path)
{
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        std::perror(path);
        return 1;
    }
    std::string bytes;
    char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.append(buffer, n);
    std::fclose(f);
    std::size_t count = 0;
    for (char c : bytes)
        count += c == '<';
    std::printf("%zu\n", count);
    return 0;
}

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--page" && argc > 2)
        return writePage(argv[2], argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 20);
    if (mode == "--count" && argc > 2)
        return countOpenBrackets(argv[2]);
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20;
    std::string doc = generateDocument(megabytes << 20);
    const double mb = static_cast<double>(doc.size()) / (1 << 20);

    Style style;
    LoadStyleOptions(style.options, ZENKEL_DATA_DIR "/styles/_default");
    LoadTagTable(style.tags, ZENKEL_DATA_DIR "/styles/_default");
    TrimList trimList;
    LoadTrimList(trimList, ZENKEL_DATA_DIR);

    rusage before {};
    getrusage(RUSAGE_SELF, &before);
    std::printf("document: %.1f MB (process at %.1f MB before measuring)\n", mb,
        static_cast<double>(before.ru_maxrss) / 1024);
    std::printf("%-16s %10s %10s %12s %12s\n", "operation", "seconds", "MB/s", "peak/input",
        "output/input");

    auto report = [&](const char* name, const Measurement& m) {
        std::printf("%-16s %10.3f %10.1f %12.2f %12.2f\n", name, m.seconds, mb / m.seconds,
            static_cast<double>(m.peakKiB) / 1024 / mb,
            static_cast<double>(m.outputBytes) / (1 << 20) / mb);
    };
    report("floor (count <)",
        measure([] {},
            [&] {
                volatile std::size_t count = 0;
                for (char c : doc)
                    count = count + (c == '<');
            }));
    // The child owns its copy of the parent's memory, so the engine may take the document
    // itself: the input is held once, as in a real run.
    Engine engine;
    auto prepare = [&] {
        engine.style() = style;
        engine.setTrimList(&trimList);
        engine.setSourceText(std::move(doc), "bench.htm");
    };
    report("scan+format", measure(prepare, [&] {
        engine.runOperation(Operation::Format);
        g_outputBytes = engine.outputList().characterCount();
    }));
    report("scan+compress", measure(prepare, [&] {
        engine.runOperation(Operation::Compress);
        g_outputBytes = engine.outputList().characterCount();
    }));
    report("trim", measure(prepare, [&] {
        engine.TrimHTML();
        g_outputBytes = engine.outputList().characterCount();
    }));
    return 0;
}
