#pragma once

// The C interface of the About library Form.so that lies beside the program.

#ifdef __cplusplus
extern "C" {
#endif

// The product information handed to the About box, field for field; every text is
// NUL-terminated UTF-8 and stays valid during the call.
typedef struct TqSoftInfo
{
    const char *CompanyName;
    const char *ProductName;
    const char *AboutText1;
    const char *Version;
    const char *HomePage;
    const char *EMail;
    const char *AboutText2;
    const char *AppPath;
} TqSoftInfo;

// Shows the About box modally and returns when it is closed. `application` is the program's
// QApplication object.
typedef void (*ShowAboutFormFunc)(void *application, TqSoftInfo info);
#define TQ_SHOW_ABOUT_FORM "ShowAboutForm"

#ifdef __cplusplus
}
#endif
