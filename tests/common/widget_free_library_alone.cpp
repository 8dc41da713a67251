// Linked with every object of one widget-free library (the component core,
// the project library) and Qt Core and Gui only: the link fails when any of
// them calls window code. Run, it fails when a widget library was loaded all
// the same (one dragged in by a dependency).
#include <cstdio>
#include <cstring>

#include <link.h>

namespace {

int NoteWidgetLibrary(dl_phdr_info* info, size_t, void* found) {
    if (info->dlpi_name && std::strstr(info->dlpi_name, "libQt6Widgets")) {
        std::fprintf(stderr, "window library loaded: %s\n", info->dlpi_name);
        *static_cast<bool*>(found) = true;
    }
    return 0;
}

}  // namespace

int main() {
    bool widgets = false;
    dl_iterate_phdr(NoteWidgetLibrary, &widgets);
    return widgets ? 1 : 0;
}
