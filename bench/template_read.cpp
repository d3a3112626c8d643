// Loads one settings file the way Quillet's sector and icon-map tabs do when
// they open and prints how many templates each kept, so a run under
// /usr/bin/time -v shows the readers' time and peak memory.
#include <cstdio>
#include <vector>

#include "batchkml/iconmap_kml.h"
#include "batchkml/sector_templates.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kit_template_read FILE\n");
        return 2;
    }
    const size_t sectors = kit::loadSectorTemplates(argv[1]).size();
    std::vector<kit::IconMapTemplate> icons;
    kit::loadIconMapTemplates(argv[1], icons);
    std::printf("sector %zu iconmap %zu\n", sectors, icons.size());
    return 0;
}
