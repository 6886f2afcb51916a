"""Reads a web tree file with xml.etree and prints what a web server would take from it, as JSON."""
import json
import sys
import xml.etree.ElementTree as ET


def text(element, tag):
    found = element.find(tag)
    return None if found is None else (found.text or "")


def decision(element):
    return {
        "Name": text(element, "Name"),
        "Help": text(element, "Help"),
        "LeftImg": text(element, "LeftImg"),
        "ControlCaption": text(element, "ControlCaption"),
        "PageHeader": text(element, "PageHeader"),
        "Default": text(element, "Default"),
        "Options": [(option.text or "").split("\n")[0] for option in element.findall("Option")],
        "Actions": [action.text or "" for action in element.iter("Action")],
    }


def criteria_list(element):
    return {
        "Name": element.get("Name"),
        "Items": [
            {
                "Name": item.get("Name"),
                "Categories": [[category.get("Name"), category.text or ""] for category in item.findall("Category")],
            }
            for item in element.findall("CriteriaItem")
        ],
    }


def main(path):
    with open(path, "rb") as data:
        root = ET.fromstring(data.read())
    result = {
        "WizardTitle": text(root, "WizardTitle"),
        "Template": text(root, "Template"),
        "Decisions": [decision(element) for element in root.iter("Decision")],
        "CriteriaLists": [criteria_list(element) for element in root.iter("CriteriaList")],
    }
    json.dump(result, sys.stdout, ensure_ascii=True)


if __name__ == "__main__":
    main(sys.argv[1])
