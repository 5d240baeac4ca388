#pragma once

#include "host/elements/HostTestElement.h"
#include "platform/com/ServerEntryPoints.h"
#include "testlib/results/CLimitRatedResult.h"
#include "testlib/elements/CTestElement.h"

#include <memory>
#include <type_traits>

namespace ztest {

// Ties the skeleton to one test type's records: Derived is the test class, Config its
// configuration record, Result its result record, Base the skeleton or a family of it (the
// discharge tests). Elements are made with Create, which runs the construction once the
// element is owned.
template <class Derived, class Config, class Result, class Base = CTestElement>
class CTestOf : public Base {
public:
    static std::shared_ptr<Derived> Create()
    {
        std::shared_ptr<Derived> element(new Derived());
        element->Construct();
        return element;
    }

protected:
    using Base::Base;
    using Base::mResult;
    using Base::mTestElement;

    // The configuration record as its class; none when the wrapped element holds another.
    std::shared_ptr<Config> Settings() const { return std::dynamic_pointer_cast<Config>(mTestElement->Configuration()); }
    // The result record as its class (mResult).
    std::shared_ptr<Result> Record() const { return std::dynamic_pointer_cast<Result>(mResult); }

    std::shared_ptr<host::IConfigData> NewConfiguration() const override { return std::make_shared<Config>(); }

    std::shared_ptr<CResultRecord> NewResult(bool initialise) override
    {
        auto result = std::make_shared<Result>();
        if (!initialise) return result;
        // The discharge records build their set from the element, the others from the record.
        if constexpr (requires { result->Initialize(std::shared_ptr<host::ITestElement>()); }) {
            result->Initialize(std::static_pointer_cast<host::ITestElement>(this->shared_from_this()));
        } else {
            result->Initialize(mTestElement->Configuration());
        }
        return result;
    }

    std::shared_ptr<CTestElement> NewInstance() const override { return Create(); }

    void RateResult(bool skipped) override
    {
        auto result = Record();
        if (!result) return;
        auto self = std::static_pointer_cast<host::ITestElement>(this->shared_from_this());
        if constexpr (std::is_base_of_v<CLimitRatedResult, Result>) {
            result->UpdateStatus(self, this->SelectedStandards(), skipped);
        } else {
            result->UpdateStatus(self, skipped);
        }
    }
};

} // namespace ztest

// Registers a test class with the library, made through its Create.
#define ZARVIK_REGISTER_TEST(CppType, clsid)                                                                  \
    namespace {                                                                                               \
    [[maybe_unused]] const bool ZARVIK_PP_CONCAT(zarvikTestAdded_, __COUNTER__) =                             \
        ::plat::server_detail::ThisModule().AddClass(::plat::ClassEntry{                                      \
            CppType::ClassProgId, clsid, [] { return ::plat::ObjectPtr(CppType::Create()); }});               \
    }
