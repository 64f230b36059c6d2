#include "archive/uPaths.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessum {

namespace fs = std::filesystem;

namespace {

std::string& DataOverride() {
    static std::string folder;
    return folder;
}

std::string& UserOverride() {
    static std::string folder;
    return folder;
}

std::string WithoutTrailingSeparator(std::string Folder) {
    while (Folder.size() > 1 && Folder.back() == '/') Folder.pop_back();
    return Folder;
}

std::string Normal(const std::string& Folder) {
    return WithoutTrailingSeparator(fs::path(Folder).lexically_normal().string());
}

bool HoldsData(const std::string& Folder) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(Folder) / DataMarkerFile, ec);
}

std::string HomeFolder(const TGetEnv& GetEnv) {
    const char* home = GetEnv("HOME");
    if (home && home[0] == '/') return home;
    // A session without HOME still has an entry in the password database.
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return {};
}

// $Variable/tessum when Variable holds an absolute path, else ~/Fallback/tessum.
std::string XdgFolder(const TGetEnv& GetEnv, const char* Variable, const char* Fallback,
                      const std::string& Home) {
    const char* value = GetEnv(Variable);
    if (value && value[0] == '/') return JoinPath(Normal(value), ProgramDirName);
    return JoinPath(JoinPath(Home, Fallback), ProgramDirName);
}

}  // namespace

std::string JoinPath(std::string_view Folder, std::string_view Name) {
    std::string path(Folder);
    if (!path.empty() && path.back() != '/') path += '/';
    return path + std::string(Name);
}

TFileLayout ResolveFileLayout(const std::string& ExeFolder, const TGetEnv& GetEnv) {
    TFileLayout layout;
    const std::string exe = Normal(ExeFolder);
    const std::string shared = Normal((fs::path(exe).parent_path() / "share" / ProgramDirName).string());
    if (HoldsData(exe) || !HoldsData(shared)) {
        // Beside the executable, or nowhere: then the missing archives are
        // reported where the program looked first.
        layout.Data = layout.Config = layout.UserData = exe;
        layout.Portable = true;
        return layout;
    }
    layout.Portable = false;
    layout.Data = shared;
    const std::string home = HomeFolder(GetEnv);
    if (home.empty()) {
        // Nowhere to write of the user's own: the writes fail with their
        // usual message instead of landing somewhere unexpected.
        layout.Config = layout.UserData = shared;
        return layout;
    }
    layout.Config = XdgFolder(GetEnv, "XDG_CONFIG_HOME", ".config", home);
    layout.UserData = XdgFolder(GetEnv, "XDG_DATA_HOME", ".local/share", home);
    return layout;
}

std::string ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "/";
    return exe.parent_path().string();
}

TFileLayout FileLayout() {
    TFileLayout layout;
    // Without the executable's place in question there is nothing to resolve.
    if (!DataOverride().empty() && !UserOverride().empty()) {
        layout.Data = DataOverride();
        layout.Config = layout.UserData = UserOverride();
        return layout;
    }
    layout = ResolveFileLayout(ExecutableFolder(), [](const char* Name) { return std::getenv(Name); });
    if (!DataOverride().empty()) layout.Data = DataOverride();
    if (!UserOverride().empty()) {
        layout.Config = layout.UserData = UserOverride();
        layout.Portable = true;
    }
    return layout;
}

std::string DataFolder() { return DataOverride().empty() ? FileLayout().Data : DataOverride(); }
std::string UserConfigFolder() { return FileLayout().Config; }
std::string UserDataFolder() { return FileLayout().UserData; }
bool PortableMode() { return FileLayout().Portable; }

std::string DataFile(std::string_view Name) { return JoinPath(DataFolder(), Name); }

void SetDataFolder(std::string Folder) { DataOverride() = WithoutTrailingSeparator(std::move(Folder)); }
void SetUserFolder(std::string Folder) { UserOverride() = WithoutTrailingSeparator(std::move(Folder)); }

void PrepareFolderFor(const std::string& FileName) {
    const fs::path folder = fs::path(FileName).parent_path().lexically_normal();
    const std::string name = WithoutTrailingSeparator(folder.string());
    if (name.empty()) return;
    const TFileLayout layout = FileLayout();
    if (name != Normal(layout.Config) && name != Normal(layout.UserData)) return;
    std::error_code ec;
    if (fs::exists(folder, ec)) return;
    // Made one level at a time so every new level is the user's alone.
    std::vector<fs::path> missing;
    for (fs::path p = folder; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.root_path()) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        if (::mkdir(it->c_str(), 0700) != 0 && errno != EEXIST) return;
}

}  // namespace tessum
