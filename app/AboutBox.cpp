#include "app/AboutBox.h"

#include "resources/Resource.h"

BEGIN_MESSAGE_MAP(CAboutBox, CDialog)
END_MESSAGE_MAP()

CAboutBox::CAboutBox() : CDialog(IDD_ABOUT) {}
