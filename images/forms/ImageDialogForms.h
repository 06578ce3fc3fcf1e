#pragma once
// The forms of the small image dialogs (display size, box parameters,
// magnify region, image file type, image selection) and of the display
// adjustment dialog. Each binds its widgets to its model; the platform shows
// them by the model's dialog name.

namespace hv {

// Registers every image dialog form with the Qt platform.
void RegisterImageForms();

}  // namespace hv
