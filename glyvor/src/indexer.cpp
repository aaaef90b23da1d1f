#include "glyvor/indexer.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "file_paths.h"
#include "font_file_reader.h"
#include "glyvor/encoding.h"
#include "glyvor/native_path.h"

namespace glyvor {

namespace fs = std::filesystem;

namespace {

bool IsFontFileName(const fs::path& path) {
    std::string ext = Utf8FromPath(path.extension());
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".ttf" || ext == ".otf" || ext == ".ttc" || ext == ".otc" || ext == ".pfa" ||
           ext == ".pfb" || ext == ".t1";
}

// Adds every face of one file; false when the file is skipped.
bool IndexFile(const fs::path& file, const std::string& relative, std::size_t group,
               Catalog* catalog, GroupReport* report) {
    std::vector<FaceDescription> faces;
    std::string why;
    const FontFileResult result = ReadFontFile(Utf8FromPath(file), &faces, &why);
    if (result == FontFileResult::Refused) report->refused.push_back(relative + ": " + why);
    if (result != FontFileResult::Read) return false;
    bool any = false;
    for (FaceDescription& face : faces) {
        FontEntry entry;
        entry.group = group;
        entry.relativePath = relative;
        entry.faceIndex = face.faceIndex;
        entry.format = face.format;
        entry.postScriptName = std::move(face.postScriptName);
        entry.family = std::move(face.family);
        entry.style = std::move(face.style);
        entry.fullName = std::move(face.fullName);
        entry.typographicFamily = std::move(face.typographicFamily);
        entry.typographicStyle = std::move(face.typographicStyle);
        entry.revision = face.revision;
        // Names past the limit of their kind are left out: a font cannot make the index grow
        // without bound.
        for (FontName& name : face.names) AddOtherName(&entry, std::move(name));
        if (catalog->AddEntry(std::move(entry))) any = true;
    }
    return any;
}

}  // namespace

bool IndexFolders(const std::vector<GroupSource>& sources, IndexResult* result,
                  std::string* error) {
    IndexResult out;
    for (const GroupSource& source : sources) {
        std::error_code ec;
        fs::path folder = fs::absolute(PathFromUtf8(NativePath(source.folder)), ec);
        if (!ec) folder = fs::weakly_canonical(folder, ec);
        const std::string folderText = Utf8FromPath(folder);
        if (!ec && !IsUtf8(folderText)) {
            *error = "group '" + source.name + "': the folder's path is not valid UTF-8";
            return false;
        }
        if (ec || !fs::is_directory(folder, ec)) {
            *error = "group '" + source.name + "': " + source.folder + " is not a readable folder";
            return false;
        }
        long group = IsUtf8(source.name) ? out.catalog.AddGroup(source.name, folderText) : -1;
        if (group < 0) {
            *error = "group '" + source.name +
                     "': the name is empty, repeated, holds ':' or is not valid UTF-8";
            return false;
        }
        std::vector<fs::path> files;
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied,
                                            ec);
        for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_regular_file(ec) && IsFontFileName(it->path())) files.push_back(it->path());
        }
        if (ec) {
            *error = "group '" + source.name + "': cannot read " + folderText + ": " + ec.message();
            return false;
        }
        // Sorted, so that the same folders give the same catalogue.
        std::sort(files.begin(), files.end());
        GroupReport report;
        report.name = source.name;
        const std::size_t before = out.catalog.entries().size();
        for (const fs::path& file : files) {
            std::string relative = file.lexically_relative(folder).generic_u8string();
            // Identifiers must cross the automation boundary as UTF-16 and come back.
            if (!IsUtf8(relative) || !IndexFile(file, relative, static_cast<std::size_t>(group),
                                                &out.catalog, &report)) {
                ++report.skipped;
            }
        }
        report.fonts = out.catalog.entries().size() - before;
        out.groups.push_back(report);
    }
    *result = std::move(out);
    return true;
}

}  // namespace glyvor
