#!/usr/bin/python3
"""Makes docs/screenshot-web.png: the page in headless Chromium at 1024 x 768
after a three-runner race and a time-aligned verification, entered with the
keyboard as a pupil would. Usage: web/screenshot.py dist/hayasa.html [out.png]
"""

import os
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys


def main():
    page = os.path.abspath(sys.argv[1])
    out = sys.argv[2] if len(sys.argv) > 2 else "docs/screenshot-web.png"
    options = webdriver.ChromeOptions()
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + tempfile.mkdtemp()):
        options.add_argument(arg)
    d = webdriver.Chrome(options=options)
    try:
        d.execute_cdp_cmd(
            "Emulation.setDeviceMetricsOverride", {"width": 1024, "height": 768, "deviceScaleFactor": 1, "mobile": False}
        )
        d.get("file://" + page)
        wait(d, "return window.hayasaReady === true")
        keys = ActionChains(d)
        # The focus starts in runner 1's distance list; Tab moves on.
        for value in ("100", "20", "100", "12", "60", "15"):
            keys.send_keys(value).send_keys(Keys.TAB)
        keys.perform()
        d.find_element(By.ID, "RedyGoBtn").click()
        wait(d, "return !document.getElementById('TrialBitBtn').hidden", 20)
        d.find_element(By.ID, "TrialBitBtn").click()
        d.find_element(By.ID, "ComboBox7").click()
        d.find_element(By.ID, "ComboBox7-o2").click()
        d.find_element(By.ID, "ComboBox8").click()
        ActionChains(d).send_keys("10").send_keys(Keys.ESCAPE).perform()
        d.find_element(By.ID, "StartBitBtn").click()
        time.sleep(4.5)
        d.execute_script("document.activeElement.blur()")
        d.save_screenshot(out)
        print("written:", out)
    finally:
        d.quit()


def wait(d, script, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        if d.execute_script(script):
            return
        time.sleep(0.05)
    sys.exit("screenshot.py: timed out on: " + script)


if __name__ == "__main__":
    main()
