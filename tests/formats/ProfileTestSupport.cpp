#include "ProfileTestSupport.h"

#include <filesystem>

namespace tqtest {

ProgramFolder::ProgramFolder(bool withConfig)
{
    if (withConfig)
        std::filesystem::create_directory(m_folder.Path() + "Config");
}

} // namespace tqtest
