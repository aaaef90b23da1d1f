#include "glyvor/command_line.h"

#include <ostream>

#include "glyvor/catalog.h"
#include "glyvor/font_matcher.h"
#include "glyvor/indexer.h"

namespace glyvor {

namespace {

const char kUsage[] =
    "usage: glyvor index --out CATALOG [--group NAME=DIR]...\n"
    "       glyvor match CATALOG NAME\n"
    "       glyvor list CATALOG\n";

int Usage(std::ostream& err, const std::string& why) {
    err << "glyvor: " << why << "\n" << kUsage;
    return kExitUsage;
}

int Index(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string catalogPath;
    std::vector<GroupSource> sources;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--out" || a == "--group") && i + 1 == args.size()) {
            return Usage(err, a + " needs a value");
        }
        if (a == "--out") {
            if (!catalogPath.empty()) return Usage(err, "--out given twice");
            catalogPath = args[++i];
            if (catalogPath.empty()) return Usage(err, "--out needs a file name");
        } else if (a == "--group") {
            const std::string& spec = args[++i];
            const std::size_t eq = spec.find('=');
            if (eq == std::string::npos || eq == 0 || eq + 1 == spec.size()) {
                return Usage(err, "--group takes NAME=DIR, not '" + spec + "'");
            }
            sources.push_back({spec.substr(0, eq), spec.substr(eq + 1)});
        } else {
            return Usage(err, "unknown option '" + a + "'");
        }
    }
    if (catalogPath.empty()) return Usage(err, "index needs --out CATALOG");
    IndexResult result;
    std::string error;
    if (!IndexFolders(sources, &result, &error)) {
        err << "glyvor: " << error << "\n";
        return kExitUsage;
    }
    if (!result.catalog.Save(catalogPath, &error)) {
        err << "glyvor: " << error << "\n";
        return kExitUsage;
    }
    for (const GroupReport& g : result.groups) {
        out << g.name << '\t' << g.fonts << " fonts\t" << g.skipped << " skipped\n";
    }
    return kExitOk;
}

bool LoadOrSay(const std::string& path, Catalog* catalog, std::ostream& err) {
    std::string error;
    if (catalog->Load(path, &error)) return true;
    err << "glyvor: " << error << "\n";
    return false;
}

int Match(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) return Usage(err, "match takes CATALOG NAME");
    Catalog catalog;
    if (!LoadOrSay(args[1], &catalog, err)) return kExitUsage;
    MatchResult match = FontMatcher(catalog).Match(args[2]);
    if (!match.entry) return kExitNoMatch;
    out << catalog.IdentifierOf(*match.entry) << '\t' << catalog.DetailOf(*match.entry) << '\n';
    return kExitOk;
}

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err, "list takes CATALOG");
    Catalog catalog;
    if (!LoadOrSay(args[1], &catalog, err)) return kExitUsage;
    for (const FontEntry& e : catalog.entries()) {
        out << catalog.IdentifierOf(e) << '\t' << FormatTag(e.format) << '\t' << e.postScriptName
            << '\t' << e.fullName << '\n';
    }
    return kExitOk;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return Usage(err, "no command");
    const std::string& command = args[0];
    if (command == "index") return Index(args, out, err);
    if (command == "match") return Match(args, out, err);
    if (command == "list") return List(args, out, err);
    return Usage(err, "unknown command '" + command + "'");
}

}  // namespace glyvor
