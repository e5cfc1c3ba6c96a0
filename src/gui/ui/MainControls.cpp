#include "gui/ui/MainControls.h"

#include "gui/ui/DirList.h"
#include "gui/ui/FileList.h"

#include <QCheckBox>
#include <QComboBox>

namespace tavelin::gui {

std::array<QWidget*, 9> MainControls::lockable() const {
    return {cboFileTypes,     Dir1,         File1, Drive1, Dir2, File2, Drive2,
            optCopySubFolder, cboUpdateRate};
}

} // namespace tavelin::gui
