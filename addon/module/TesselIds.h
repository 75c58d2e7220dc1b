#pragma once
// The add-on's fixed COM identities as registry text (braced, upper case). Tessel.idl
// carries the class, interface and library ids too; a Windows test compares the two.
namespace tesselid {

constexpr const wchar_t* kClassId = L"{E2D14DB9-93D4-4EAF-AAA9-F59DBBA9A1F7}";
constexpr const wchar_t* kInterfaceId = L"{52E2B402-7E20-4118-BAAC-905B771849E7}";
constexpr const wchar_t* kLibraryId = L"{ACF50E7B-3AD8-49FF-9905-D54C0E8D40C4}";
constexpr const wchar_t* kApplicationId = L"{C56F7662-A40E-4779-B4C7-B3C93599B20B}";

}  // namespace tesselid
