#include "shell/SoftInfo.h"

#include "shell/ResourceLibrary.h"

RecSoftInfo LoadSoftInfo(const std::string &resourceLibraryPath, const std::string &programFolder)
{
    RecSoftInfo info;
    {
        const TResourceLibrary library(resourceLibraryPath);
        info.CompanyName = library.LoadString(0);
        info.ProductName = library.LoadString(1);
        info.AboutText1 = library.LoadString(2);
        info.Version = library.LoadString(3);
        info.HomePage = library.LoadString(4);
        info.EMail = library.LoadString(5);
        info.AboutText2 = library.LoadString(7);
    }
    info.AppPath = programFolder;
    return info;
}

std::string TitleText(const RecSoftInfo &info)
{
    return info.ProductName + " " + info.Version;
}
