DELIMITER ;;
CREATE DEFINER=`root`@`localhost` TRIGGER items_bi BEFORE INSERT ON items FOR EACH ROW SET NEW.name = TRIM(NEW.name)
;;
CREATE DEFINER=`trigger_admin`@`localhost` TRIGGER items_ai AFTER INSERT ON items FOR EACH ROW
BEGIN
  INSERT INTO audit (item_id, message) VALUES (NEW.id, CONCAT('added "', NEW.name, '" \\ ok'));
END
;;
CREATE DEFINER=`root`@`localhost` trigger items_bu before update on items for each row set new.updated_count = old.updated_count + 1
;;
CREATE DEFINER=`root`@`localhost` TRIGGER items_au AFTER UPDATE ON items FOR EACH ROW
BEGIN
  IF NEW.price <> OLD.price THEN
    INSERT INTO audit (item_id, message)
      VALUES (NEW.id, CONCAT('price of ''', NEW.name, ''' changed: ', OLD.price, ' -> ', NEW.price));
  END IF;
  -- a comment inside the body
END
;;
DELIMITER ;
