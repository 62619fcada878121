#ifndef APPRESOURCES_H
#define APPRESOURCES_H

// The images and the animation are compiled into the static core library; its
// resource object is only linked in when something refers to it, so every
// widget that draws them calls this first. Cheap after the first call.
void initAppResources();

#endif // APPRESOURCES_H
