#pragma once

#include "CatalogueData.h"

#include <QDateTime>
#include <string>
#include <string_view>
#include <vector>

namespace skyglance::catalogue {

// The entry code the client saves for a selection-table entry (" - " and the
// comment): the word behind the first blank at character 6 or later, without
// its dashes.
std::string entryCodeForSave(std::string_view entryText);

// One collection file: the file name (ending in .xml) and the catalogue
// positions it ticks, in catalogue order.
struct CollectionPlan {
    std::string fileName;
    std::vector<std::size_t> positions;
};

// The collection file for the given positions, in the layout the client
// writes itself (CR LF line ends, tab indentation).
std::string collectionXml(const Catalogue& catalogue, const CollectionPlan& plan,
                          const QDateTime& made);

// The copy of the selection file kept beside a collection: row number and
// picture ID per ticked row, then two empty lines.
std::string selectionFileCopy(const Catalogue& catalogue, const CollectionPlan& plan);

// The sample collections drawn from the catalogue: radar loops, still maps,
// forecast pages, series, and a starter set of the first eight rows.
std::vector<CollectionPlan> sampleCollections(const Catalogue& catalogue);

// The collections package: a zip archive holding every sample collection with
// its selection-file copy, and the mark "LocalCollection.dat" naming the set.
std::string collectionsPackage(const Catalogue& catalogue, const std::string& setName,
                               const QDateTime& made);

} // namespace skyglance::catalogue
