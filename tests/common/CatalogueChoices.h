#pragma once

#include "formats/Catalogue.h"

#include <sstream>
#include <string>
#include <vector>

namespace tqtest {

// The rows a choice table of the program's catalogue offers, without the row that names its
// default, so a value added to the catalogue is tested without a test being changed.
inline std::vector<std::string> CatalogueChoices(TCatalogueTable table)
{
    std::vector<std::string> rows = TCatalogue::NewCatalogueList(table);
    if (TCatalogue::IsChoiceTable(table) && !rows.empty())
        rows.pop_back();
    return rows;
}

// The codec an output type's options select: "aac" of "-acodec aac -vn".
inline std::string CatalogueCodecOption(int outputType)
{
    std::istringstream words(TCatalogue::CodecOption(outputType));
    for (std::string word; words >> word;)
        if (word == "-acodec" && words >> word)
            return word;
    return std::string();
}

} // namespace tqtest
