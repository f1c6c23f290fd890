// Resource ids of the framework tests' own dialog templates (FrameworkTests.rc), in a range
// of their own.
#pragma once

#define IDD_TEST_BUTTONS 9001
#define IDD_TEST_TAB 9002
#define IDD_TEST_EXCHANGE 9003
#define IDD_TEST_WIZARD_1 9004
#define IDD_TEST_WIZARD_2 9005
#define IDD_TEST_WIZARD_3 9006
#define IDD_TEST_SETTINGS_PAGE 9007
#define IDD_TEST_LEAK 9008

#define IDC_TEST_LATER 9101
#define IDC_TEST_NAME 9102

#define IDC_TEST_FIRST 9201
#define IDC_TEST_SECOND 9202
#define IDC_TEST_THIRD 9203

#define IDC_TEST_TEXT 9301
#define IDC_TEST_SMALL 9302
#define IDC_TEST_LARGE 9303
#define IDC_TEST_TRISTATE 9304
#define IDC_TEST_FLAG 9305
#define IDC_TEST_RADIO_A 9306
#define IDC_TEST_RADIO_B 9307
#define IDC_TEST_RADIO_C 9308
#define IDC_TEST_AFTER_GROUP 9309
#define IDC_TEST_PICKER 9310

#define IDC_TEST_PAGE_VALUE 9401
#define IDC_TEST_LEAK_ICON 9501
