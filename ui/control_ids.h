#pragma once

// Child-control IDs of the main window.
namespace controlId {

constexpr int pathCombo = 101;
constexpr int scenarioCombo = 102;
constexpr int browseButton = 103;
constexpr int scanButton = 104;
constexpr int progressBar = 105;
constexpr int recoverButton = 107;
constexpr int depthCombo = 108;
constexpr int searchEdit = 111;
constexpr int tabControl = 112;
constexpr int bottomBar = 113;
constexpr int statusText = 118;
constexpr int firstListView = 200;   // 200 to 208, one per tab
constexpr int mainGroup = 1000;
constexpr int diskLabel = 1001;
constexpr int scenarioLabel = 1002;
constexpr int fileTypeLabel = 1003;
constexpr int searchLabel = 1004;
constexpr int searchHint = 1005;
constexpr int depthGroup = 1006;
constexpr int depthLabel = 1007;
constexpr int firstCategoryBox = 2000;   // 2000 to 2007

} // namespace controlId

constexpr int tabCount = 9;
constexpr int searchTab = 8;   // the last tab, filled only by the search
constexpr int categoryBoxCount = 8;
