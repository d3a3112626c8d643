#include "apps/plotvane_window.h"

#include "analysis/win/analysis_tabs.h"
#include "analysis/win/generator_tabs.h"
#include "coverage/win/coverage_tab.h"
#include "layers/win/wkt_tab.h"
#include "nearest/win/nearest_tabs.h"

namespace kit {

MainWindowConfig plotvaneWindowConfig() {
    MainWindowConfig c;  // the shell's defaults are Plotvane's window
    // Strip order; tools without a panel yet show an empty one.
    c.tabs = {
        {L"resources\\icons\\tab_recent1.png", createRecent1Tab},
        {L"resources\\icons\\tab_recent2.png", createRecent2Tab},
        {L"resources\\icons\\tab_match.png", createMatchTab},
        {L"resources\\icons\\tab_type.png", createGroupTab},
        {L"resources\\icons\\tab_df_gdf.png", createWktTab},
        {L"resources\\icons\\dian.png", createPointsTab},
        {L"resources\\icons\\shanxing.png", createSectorsTab},
        {L"resources\\icons\\duobianxing.png", createPolygonTab},
        {L"resources\\icons\\tab_match.png", createCoverageTab},  // coverage shares the matching tab's icon
    };
    return c;
}

}  // namespace kit
