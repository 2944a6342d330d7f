// What MATLAB reads from every module when it loads it.
#include <dirent.h>

#include <string>
#include <vector>

#include "mex_fixture.h"
#include "mexhost_loader.h"

namespace {

std::vector<std::string> builtModules() {
  std::vector<std::string> files;
  const std::string ext = std::string(".") + BRELK_MEX_EXT;
  if (DIR* dir = opendir(BRELK_MEX_DIR)) {
    while (dirent* e = readdir(dir)) {
      const std::string name = e->d_name;
      if (name.rfind("BRELK_", 0) == 0 && name.size() > ext.size() &&
          name.compare(name.size() - ext.size(), ext.size(), ext) == 0)
        files.push_back(std::string(BRELK_MEX_DIR) + "/" + name);
    }
    closedir(dir);
  }
  return files;
}

TEST(EntryPoints, EveryModuleGivesTheSameApiVersion) {
  const auto files = builtModules();
  ASSERT_GE(files.size(), 4u);
  for (const std::string& file : files) {
    std::string error;
    void* lib = mexhost::loadModule(file, error);
    ASSERT_NE(lib, nullptr) << file << ": " << error;
    using Version = void (*)(unsigned*, unsigned*);
    auto version = reinterpret_cast<Version>(mexhost::moduleSymbol(lib, "mexfilerequiredapiversion"));
    ASSERT_NE(version, nullptr) << file;
    unsigned release = 0, api = 0;
    version(&release, &api);
    EXPECT_EQ(release, 0x0002020Bu) << file;
    EXPECT_EQ(api, 0x07300000u) << file;
    EXPECT_NE(mexhost::moduleSymbol(lib, "mexFunction"), nullptr) << file;
  }
}

}  // namespace
