TYPE=VIEW
query=select `o`.`id` AS `order_id`,`c`.`name` AS `customer`,`p`.`title` AS `product`,`o`.`quantity` * `p`.`price` AS `total` from ((`shop`.`orders` `o` join `shop`.`customers` `c` on(`c`.`id` = `o`.`customer_id`)) join `shop`.`products` `p` on(`p`.`id` = `o`.`product_id`))
md5=e361b8d886dfa788c70af44d9ae3844f
updatable=1
algorithm=0
definer_user=root
definer_host=localhost
suid=2
with_check_option=0
timestamp=0001796996772941942
create-version=2
source=SELECT o.id AS order_id, c.name AS customer, p.title AS product, o.quantity * p.price AS total\n  FROM orders o JOIN customers c ON c.id = o.customer_id JOIN products p ON p.id = o.product_id
client_cs_name=utf8mb4
connection_cl_name=utf8mb4_general_ci
view_body_utf8=select `o`.`id` AS `order_id`,`c`.`name` AS `customer`,`p`.`title` AS `product`,`o`.`quantity` * `p`.`price` AS `total` from ((`shop`.`orders` `o` join `shop`.`customers` `c` on(`c`.`id` = `o`.`customer_id`)) join `shop`.`products` `p` on(`p`.`id` = `o`.`product_id`))
mariadb-version=101119
