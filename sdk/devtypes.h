#ifndef DEVTYPES_H
#define DEVTYPES_H

/* Integer and handle types shared by the device library interfaces.
 * DWORD and ULONG are 32 bits wide on every platform, as the device
 * libraries' binary interface was defined on Windows. */
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#define DEV_API __stdcall
#else
typedef uint32_t DWORD;
typedef uint32_t ULONG;
typedef int32_t LONG;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int BOOL;
/* A native window handle; on X11 the WId of a widget of this process. */
typedef void *HWND;
#define DEV_API
#endif

#ifdef __cplusplus
#define DEV_EXTERN_C extern "C"
#else
#define DEV_EXTERN_C
#endif

#if defined(_WIN32)
#define DEV_EXPORT __declspec(dllexport)
#else
#define DEV_EXPORT __attribute__((visibility("default")))
#endif

#endif /* DEVTYPES_H */
