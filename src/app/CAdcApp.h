#pragma once

// The application object: shows the main sheet modally and ends.
class CAdcApp {
public:
    CAdcApp() = default;
    virtual ~CAdcApp() = default;
    // Runs the sheet; always returns false, so no message loop follows.
    virtual bool InitInstance();
};

extern CAdcApp theApp;
