// The main window's add-photos button: photos picked in the host's scene picker join the list.
#ifndef STILLSET_GUI_ADD_PHOTOS_H
#define STILLSET_GUI_ADD_PHOTOS_H

// The chosen photos go in after the selected one, each with its thumbnail and grid cell.
void addChosenPhotos();

#endif
