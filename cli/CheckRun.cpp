/// zenkel --check and --diff: what a run would change, with nothing written.
#include "cli/CheckRun.h"

#include "base/SafeFile.h"
#include "batch/BatchRun.h"
#include "batch/FileJob.h"
#include "batch/FileSelection.h"
#include "batch/Session.h"
#include "cli/CliRunner.h"
#include "cli/UnifiedDiff.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string_view>

namespace zenkel {

namespace {

/// Where the documentation line stands at the start of a text (after a UTF-8 byte order
/// mark): "<!--~ " ... " ~-->" up to the first line end. Empty when there is none.
struct DocLineSpan
{
    std::size_t begin = 0;
    std::size_t end = 0;
    bool empty() const { return end == begin; }
};

DocLineSpan docLineOf(std::string_view bytes)
{
    const std::size_t begin = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    const std::size_t lineEnd = std::min(bytes.find_first_of("\r\n", begin), bytes.size());
    const std::string_view line = bytes.substr(begin, lineEnd - begin);
    if (line.size() < 11 || !line.starts_with("<!--~ ") || !line.ends_with(" ~-->"))
        return {};
    return {begin, lineEnd};
}

/// The new text with its documentation line replaced by the old text's, when both have
/// one (the date and time in it would otherwise report a change on every run); null when
/// the new text stays as it is.
std::optional<std::string> withOldDocLine(std::string_view oldBytes, std::string_view newBytes)
{
    const DocLineSpan oldLine = docLineOf(oldBytes);
    const DocLineSpan newLine = docLineOf(newBytes);
    if (oldLine.empty() || newLine.empty())
        return std::nullopt;
    std::string replaced(newBytes.substr(0, newLine.begin));
    replaced += oldBytes.substr(oldLine.begin, oldLine.end - oldLine.begin);
    replaced += newBytes.substr(newLine.end);
    return replaced;
}

class Checker
{
public:
    Checker(const CliOptions& options, Session& session, std::istream& in, std::ostream& out,
        std::ostream& err)
        : m_options(options)
        , m_session(session)
        , m_in(in)
        , m_out(out)
        , m_err(err)
        , m_lineEnd(lineEndOf(session.settings))
    { }

    int run()
    {
        std::vector<std::string> items = m_options.tree ? treeFiles() : acceptedPaths();
        checkAll(items);
        m_out.flush();
        if (m_failed)
            return ExitSetupFailed;
        return m_changed ? ExitFileFailed : ExitDone;
    }

private:
    void complain(const std::string& message)
    {
        m_err << "zenkel: " << message << '\n';
        m_failed = true;
    }

    /// The paths as given, less those a run would refuse (each named on err).
    std::vector<std::string> acceptedPaths()
    {
        std::vector<std::string> accepted;
        const Session& s = m_session;
        for (const std::string& path : m_options.paths) {
            std::string error;
            const FileCheck check = path == "-"
                ? FileCheck::Valid
                : CheckHtmlFile(path, s.settings.DoValidate, s.runState.CommandLineMode, &error);
            if (check != FileCheck::Valid) {
                complain(FileCheckMessage(check, path) + (error.empty() ? "" : ": " + error));
                continue;
            }
            accepted.push_back(path);
        }
        return accepted;
    }

    /// Every file a tree run would take, named below the directory as given.
    std::vector<std::string> treeFiles()
    {
        const std::string& directory = *m_options.tree;
        std::error_code ec;
        if (!std::filesystem::is_directory(directory, ec)) {
            complain(directory + ": not a directory");
            return {};
        }
        const std::string absolute
            = std::filesystem::absolute(directory, ec).lexically_normal().string();
        if (!isChoosableTreeDirectory(absolute)) {
            complain(absolute + ": the root of the file system cannot be a tree");
            return {};
        }
        const Session& s = m_session;
        const FileValidator valid = [&s](const std::string& path) {
            return IsValidHtmlFile(path, s.settings.DoValidate, s.runState.CommandLineMode);
        };
        std::vector<std::string> unreadable;
        std::vector<std::string> files
            = SearchTree(directory, m_options.type, valid, nullProgressSink(), &unreadable);
        for (const std::string& dir : unreadable)
            complain(dir + ": skipped: cannot read directory");
        if (files.empty())
            complain(directory + ": no file of the chosen type found");
        return files;
    }

    void checkAll(const std::vector<std::string>& items)
    {
        std::vector<std::string> files;
        for (const std::string& item : items) {
            if (item != "-")
                files.push_back(item);
        }
        std::unique_ptr<OutputPool> pool;
        if (!files.empty()) {
            OutputPoolSettings settings;
            settings.lineEnd = std::string(m_lineEnd);
            settings.keepSourceBytes = true;
            pool = std::make_unique<OutputPool>(files, m_session.runState.Operation,
                m_session.engine.style(), m_session.trimList, m_options.jobs, settings);
        }
        std::size_t next = 0;
        for (const std::string& item : items) {
            if (item == "-") {
                checkStandardInput();
                continue;
            }
            const PrecomputedFile& result = pool->take(next);
            if (result.computed)
                report(item, result.sourceBytes, result.resultBytes);
            else
                complain(result.error);
            pool->release(next++);
        }
    }

    void checkStandardInput()
    {
        std::string bytes;
        std::string error;
        if (!readStandardInput(m_in, bytes, &error)) {
            complain("-: cannot read standard input: " + error);
            return;
        }
        Engine& engine = m_session.engine;
        engine.setSourceText(SourceTextFromBytes(bytes), "-");
        engine.runOperation(m_session.runState.Operation);
        report("-", bytes, joinLines(engine.outputList(), m_lineEnd));
    }

    void report(const std::string& name, const std::string& oldBytes, const std::string& result)
    {
        const std::optional<std::string> replaced = withOldDocLine(oldBytes, result);
        const std::string& newBytes = replaced ? *replaced : result;
        if (newBytes == oldBytes)
            return;
        m_changed = true;
        if (m_options.diff)
            m_out << unifiedDiff(oldBytes, newBytes, name);
        else
            m_out << name << '\n';
    }

    const CliOptions& m_options;
    Session& m_session;
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    const std::string_view m_lineEnd;
    bool m_failed = false;
    bool m_changed = false;
};

} // namespace

int runCheck(const CliOptions& options, Session& session, std::istream& in, std::ostream& out,
    std::ostream& err)
{
    return Checker(options, session, in, out, err).run();
}

} // namespace zenkel
