/* A valid library that lacks the ImgProc entry point. */
#if defined(_WIN32)
#    define EXPORT __declspec(dllexport)
#else
#    define EXPORT __attribute__((visibility("default")))
#endif

EXPORT int NotImgProc(int x)
{
    return x + 1;
}
