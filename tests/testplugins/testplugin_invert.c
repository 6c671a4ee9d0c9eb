/* Test algorithm: inverts every grey level and remembers how it was called. */
#if defined(_WIN32)
#    define EXPORT __declspec(dllexport)
#else
#    define EXPORT __attribute__((visibility("default")))
#endif

static int g_calls;
static int g_width;
static int g_height;

EXPORT void ImgProc(const unsigned char *src, unsigned char *dst, int width, int height)
{
    int i;
    for (i = 0; i < width * height; ++i)
        dst[i] = (unsigned char)(255 - src[i]);
    ++g_calls;
    g_width = width;
    g_height = height;
}

EXPORT int ImgProcCallCount(void)
{
    return g_calls;
}

EXPORT int ImgProcLastWidth(void)
{
    return g_width;
}

EXPORT int ImgProcLastHeight(void)
{
    return g_height;
}
